#include "engine/VersionManifest.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <optional>
#include <string>

#include "Common/LongPath.h"
#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/ManifestTrust.h"
#include "engine/PackageSources.h"
#include "engine/PackageValidator.h"
#include "engine/SetupConstants.h"
#include "engine/SetupLog.h"
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

// The local manifest's path; empty when the folder cannot be resolved. It is opened only
// as a plain file (not through a link), through wide paths, so no code page can turn its
// name into another file's.
std::wstring LocalManifestPath() {
  wchar_t appData[kPathChars];
  if (!GetCommonAppDataFolder(appData, false)) return std::wstring();
  return std::wstring(appData) + L"\\" + kDataFolderName + kLocalManifestSuffix;
}

bool LoadLocalManifest(const std::wstring& path, TiXmlDocument& document) {
  FILE* file = OpenPlainFileStream(path.c_str(), PlainFileUse::kRead);
  if (!file) return false;
  document.LoadFile(file);
  fclose(file);
  return true;
}

// The declaration, then <config><version>text</version></config>, in the library's own
// layout. A failed save only means that the next run fetches afresh.
void WriteLocalManifest(const std::wstring& path, const char* versionText) {
  TiXmlDocument document;
  document.Parse(kDeclaration);
  auto* config = new TiXmlElement("config");
  auto* version = new TiXmlElement("version");
  version->LinkEndChild(new TiXmlText(versionText));
  config->LinkEndChild(version);
  document.LinkEndChild(config);
  if (FILE* file = OpenPlainFileStream(path.c_str(), PlainFileUse::kReplace)) {
    // Text mode, as the library's own file saving uses: its line breaks are "\r\n" on disk.
    _setmode(_fileno(file), _O_TEXT);
    document.SaveFile(file);
    fclose(file);
  }
}

}  // namespace

size_t OnManifestData(const char* data, size_t size, size_t count, SetupContext* context) {
  const size_t bytes = size * count;
  if (!context) return bytes;

  // The parser expects terminated text; the copy holds exactly the received amount.
  const std::string body(data ? data : "", data ? bytes : 0);
  TiXmlDocument published;
  published.Parse(body.c_str());
  // A document cut short or malformed may still hold a version element whose text was cut
  // ("2.0.1" of "2.0.1.5"): nothing of it is believed, as nothing of an error page is.
  const char* publishedText = published.Error() ? nullptr : FindVersionText(published);
  // Taken whether or not a version follows: they describe the package about to arrive.
  context->m_strPackageSize = published.Error() ? std::nullopt : ManifestElementText(published, "size");
  context->m_strPackageSha256 = published.Error() ? std::nullopt : ManifestElementText(published, "sha256");
  // Only the vendor's signature can send the elevated installer to other hosts.
  context->m_packageMirrors.clear();
  if (!published.Error() && context->m_manifestVerdict == ManifestVerdict::kTrusted)
    context->m_packageMirrors = AcceptedMirrors(ManifestElementTexts(published, "mirror"));
  if (!publishedText) {
    // An error page, a broken document, or a manifest that names no version text: nothing
    // says the version changed, so whatever package is on disk is continued.
    WriteSetupInfo("manifest names no version%s: the package on disk is continued",
                   published.Error() ? " (not a whole document)" : "");
    context->m_bResume = true;
    return bytes;
  }

  wchar_t wide[kPublishedVersionChars];
  if (MultiByteToWideChar(CP_UTF8, 0, publishedText, -1, wide, kPublishedVersionChars) > 1) {
    context->m_strPublishedVersion = wide;
  }

  const std::wstring localPath = LocalManifestPath();
  TiXmlDocument local;
  // A manifest that cannot be opened, a link in its place included, counts as none.
  if (localPath.empty() || !LoadLocalManifest(localPath, local)) {
    WriteSetupInfo("published version %s, no local manifest: the package is fetched afresh", publishedText);
    context->m_bResume = false;
    if (!localPath.empty()) WriteLocalManifest(localPath, publishedText);
    context->m_nResumeOffset = 0;
    return bytes;
  }

  // A local manifest that cannot be read as one (no root, no version, no text) vouches for
  // no package: it is treated like a different version.
  const char* localText = FindVersionText(local);
  if (localText && strcmp(localText, publishedText) == 0) {
    WriteSetupInfo("published version %s, as before: the package on disk is continued", publishedText);
    context->m_bResume = true;
    return bytes;
  }

  WriteSetupInfo("published version %s, local version %s: the package is fetched afresh", publishedText,
                 localText ? localText : "(none)");
  context->m_bResume = false;
  DeleteFileW(LongPathName(localPath).c_str());
  DeletePackageFile(context->m_szPackagePath);
  WriteLocalManifest(localPath, publishedText);
  context->m_nResumeOffset = 0;
  return bytes;
}

std::optional<std::string> ManifestElementText(const TiXmlDocument& document, const char* name) {
  const TiXmlElement* root = document.FirstChildElement();
  const TiXmlElement* element = root ? root->FirstChildElement(name) : nullptr;
  if (!element) return std::nullopt;
  // Text split by a comment or markup reads as nothing usable, never as one of its parts.
  const TiXmlNode* only = element->FirstChild();
  const TiXmlText* text = only && !only->NextSibling() ? only->ToText() : nullptr;
  return std::string(text ? text->Value() : "");
}

std::vector<std::string> ManifestElementTexts(const TiXmlDocument& document, const char* name) {
  std::vector<std::string> texts;
  const TiXmlElement* root = document.FirstChildElement();
  for (const TiXmlElement* element = root ? root->FirstChildElement(name) : nullptr; element;
       element = element->NextSiblingElement(name)) {
    const TiXmlNode* first = element->FirstChild();
    const TiXmlText* text = first ? first->ToText() : nullptr;
    texts.push_back(TrimmedText(text ? text->Value() : ""));
  }
  return texts;
}

void TakeReportFacts(const std::string& manifest, SetupContext* context) {
  if (!context) return;
  context->m_facts.strReportAddress.clear();
  context->m_facts.strTo.clear();
  TiXmlDocument published;
  published.Parse(manifest.c_str());
  if (published.Error()) return;
  const std::optional<std::string> version = ManifestElementText(published, "version");
  if (version && IsPublishedVersion(*version)) context->m_facts.strTo = *version;
  const std::optional<std::string> report = ManifestElementText(published, "report");
  if (!report || report->empty()) return;
  if (const char* refusal = AddressRefusal(*report)) {
    WriteSetupInfo("manifest: report address ignored (%s)", refusal);
    return;
  }
  context->m_facts.strReportAddress = *report;
}

}  // namespace setup
