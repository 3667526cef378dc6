#pragma once
// Resource ids shared by the resource script and the code (the resource compiler reads
// this file too, so it holds #defines only).
#define IDR_MAINFRAME 128
// The skin archive, resource type "ZIPRES".
#define IDR_SKIN_ARCHIVE 129
#define IDS_PACKAGE_CORRUPT 10001
#define IDS_DOWNLOAD_FAILED 10002
#define IDS_DISK_WRITE_FAILED 10003
#define IDS_MAIN_TITLE 10004
#define IDS_PREVIOUS_RESTORED 10005
#define IDS_RESTART_NEEDED 10006
#define IDS_NEWER_INSTALLED 10007
#define IDS_CLIENT_UNIDENTIFIED 10008
// Formatted with the date the computer's clock should show.
#define IDS_CLOCK_WRONG 10009
#define IDS_REPLACE_FAILED 10010
#define IDS_PUT_BACK_FAILED 10011
