#pragma once
// The platform's windowless rich text engine: its library, its factory and the two interface
// identifiers the host and the engine exchange.

#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

namespace SkinUI {
namespace text_services {

// The engine's main interface; the library exports the same value.
// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
constexpr IID kTextServicesIid = {
    0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

// The factory of the engine library, loaded once from the system folder and kept for the life
// of the process (engines it made may outlive any one control). Null when either is missing.
PCreateTextServices Factory();

// The identifiers as the library exports them; null without the library or the export.
const IID* ExportedTextServicesIid();
const IID* ExportedTextHostIid();

// Creates an engine for pHost and takes its ITextServices interface. Null on any failure.
ITextServices* CreateEngine(ITextHost* pHost);

}  // namespace text_services
}  // namespace SkinUI
