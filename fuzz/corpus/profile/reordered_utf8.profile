<?xml version="1.0" encoding="utf-8"?>
<root><!-- c --><ButtonSet><Button_5><bySelFunc>257</bySelFunc></Button_5><Button_7><byBtnFun>512</byBtnFun></Button_7><Button_6><byBtnFun>x</byBtnFun><bySelFunc>1</bySelFunc></Button_6></ButtonSet><Lighting><byLightEffect>300</byLightEffect><byAllKeyColor>-1</byAllKeyColor></Lighting></root>
