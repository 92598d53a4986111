#pragma once
// The dialog template of the progress window (a borderless pop-up; its size
// is replaced by the size of the background picture).
#define IDD_PROGRESS 129
