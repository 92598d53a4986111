<?xml version="1.0" encoding="utf-8"?>
<root><ButtonSet><Button_0><bySelFunc>1</bySelFunc></ButtonSet></root>
