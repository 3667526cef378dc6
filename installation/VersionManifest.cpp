#include "VersionManifest.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "SetupConstants.h"
#include "tinyxml.h"

namespace setup {

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\" ?>";

// The text of the root's first "version" element; null when there is no root, no such
// element, or the element does not start with text (empty, or starting with markup).
const char* FindVersionText(const TiXmlDocument& document) {
  const TiXmlElement* root = document.FirstChildElement();
  if (!root) return nullptr;
  const TiXmlElement* version = root->FirstChildElement("version");
  if (!version) return nullptr;
  const TiXmlNode* first = version->FirstChild();
  const TiXmlText* text = first ? first->ToText() : nullptr;
  return text ? text->Value() : nullptr;
}

// The local manifest's path in the thread's ANSI code page, which is what the XML
// library's file functions take. Empty when the folder or the conversion fails.
std::string LocalManifestPath(std::wstring* widePath) {
  wchar_t appData[kPathChars];
  if (!GetCommonAppDataFolder(appData, false)) return std::string();
  *widePath = std::wstring(appData) + L"\\" + kDataFolderName + kLocalManifestSuffix;
  int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, widePath->c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string path(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, widePath->c_str(), -1, &path[0], bytes, nullptr, nullptr);
  path.resize(static_cast<size_t>(bytes) - 1);
  return path;
}

// The declaration, then <config><version>text</version></config>, in the library's own
// layout. A failed save only means that the next run fetches afresh.
void WriteLocalManifest(const std::string& path, const char* versionText) {
  TiXmlDocument document;
  document.Parse(kDeclaration);
  auto* config = new TiXmlElement("config");
  auto* version = new TiXmlElement("version");
  version->LinkEndChild(new TiXmlText(versionText));
  config->LinkEndChild(version);
  document.LinkEndChild(config);
  document.SaveFile(path.c_str());
}

}  // namespace

size_t OnManifestData(const char* data, size_t size, size_t count, SetupContext* context) {
  const size_t bytes = size * count;
  if (!context) return bytes;

  // The parser expects terminated text; the copy holds exactly the received amount.
  const std::string body(data ? data : "", data ? bytes : 0);
  TiXmlDocument published;
  published.Parse(body.c_str());
  const char* publishedText = FindVersionText(published);
  if (!publishedText) {
    // An error page, or a manifest that names no version text: nothing says the version
    // changed, so whatever package is on disk is continued.
    context->m_bResume = true;
    return bytes;
  }

  wchar_t wide[kPublishedVersionChars];
  if (MultiByteToWideChar(CP_UTF8, 0, publishedText, -1, wide, kPublishedVersionChars) > 1) {
    context->m_strPublishedVersion = wide;
  }

  std::wstring localWidePath;
  const std::string localPath = LocalManifestPath(&localWidePath);
  TiXmlDocument local;
  const bool loaded = !localPath.empty() && local.LoadFile(localPath.c_str());
  if (!loaded && (localPath.empty() || local.ErrorId() == TiXmlBase::TIXML_ERROR_OPENING_FILE)) {
    context->m_bResume = false;
    if (!localPath.empty()) WriteLocalManifest(localPath, publishedText);
    context->m_nResumeOffset = 0;
    return bytes;
  }

  // A local manifest that cannot be read as one (no root, no version, no text) vouches for
  // no package: it is treated like a different version.
  const char* localText = FindVersionText(local);
  if (localText && strcmp(localText, publishedText) == 0) {
    context->m_bResume = true;
    return bytes;
  }

  context->m_bResume = false;
  DeleteFileW(localWidePath.c_str());
  DeleteFileW(context->m_szPackagePath);
  WriteLocalManifest(localPath, publishedText);
  context->m_nResumeOffset = 0;
  return bytes;
}

}  // namespace setup
