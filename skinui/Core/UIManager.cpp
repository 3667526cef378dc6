#include "Core/UIManager.h"

namespace SkinUI {

HINSTANCE CWindowHostUI::m_hInstance = nullptr;

void CWindowHostUI::SetModuleInstance(HINSTANCE instance) { m_hInstance = instance; }

HINSTANCE CWindowHostUI::GetModuleInstance() { return m_hInstance; }

}  // namespace SkinUI
