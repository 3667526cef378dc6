#pragma once
// skinview's resources (skinview.rc).

// The panel's skin, a resource of type "xml".
#define IDR_PANEL_SKIN 101
