#pragma once
// Identifiers of the test dialog template.

#define IDD_TEST_DIALOG 100
#define IDC_TEST_EDIT 1001
