#include "ui/GraphicTypes.h"

#include "base/Streams.h"
#include "base/Strings.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

std::unique_ptr<TGraphicTypeList> gGraphicTypes;

// The extensions of a list as stored: tokens trimmed, empty ones dropped, lower case with the
// user's locale rules, each with its leading ".".
std::vector<std::wstring> ExtensionTokens(std::wstring_view extensions) {
  std::vector<std::wstring> tokens;
  std::wstring token;
  std::wstring_view cursor = extensions;
  while (NextToken(cursor, L";", token, true)) {
    if (token.empty() || token == L".") continue;
    token = LocaleLowerCase(token);
    if (token.front() != L'.') token.insert(0, 1, L'.');
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::wstring JoinTokens(const std::vector<std::wstring>& tokens) {
  std::wstring text;
  for (const std::wstring& token : tokens) text = JoinNonEmpty(text, token, L";");
  return text;
}

// The extensions as file patterns: ".jpg;.jpeg" becomes "*.jpg;*.jpeg".
std::wstring Patterns(const std::wstring& extension) {
  std::wstring patterns;
  for (wchar_t c : extension) {
    if (c == L'.') patterns += L'*';
    patterns += c;
  }
  return patterns;
}

// Beyond the fixed bytes: the marker after a JPEG's start (every JPEG has one: JFIF E0, the
// cameras' Exif E1, other application segments, tables or a frame), the image count of an icon.
bool JpegMarkerFollows(const unsigned char* data, std::size_t dataLength) {
  return dataLength > 3 && data[3] >= 0xC0 && data[3] != 0xFF;
}
bool IconHasImages(const unsigned char* data, std::size_t dataLength) {
  return dataLength >= 6 && (data[4] != 0 || data[5] != 0);
}

struct TSignature {
  std::size_t Offset;
  std::string_view Bytes;
  const wchar_t* Extension;
  bool (*More)(const unsigned char* data, std::size_t dataLength) = nullptr;
};

using namespace std::string_view_literals;

// In the order they are tried; the first that fits decides.
const TSignature kSignatures[] = {
    {0, "BM"sv, L".bmp"},
    {0, "\x89PNG\r\n"sv, L".png"},
    {0, "\xFF\xD8\xFF"sv, L".jpg", JpegMarkerFollows},
    {40, " EMF"sv, L".emf"},
    {0, "GIF89a"sv, L".gif"},
    {0, "GIF87a"sv, L".gif"},
    {0, "II*\0"sv, L".tif"},
    {0, "MM\0*"sv, L".tif"},
    // An icon directory: reserved 0, type 1.
    {0, "\0\0\1\0"sv, L".ico", IconHasImages},
    // A placeable Windows metafile, and a plain one (in memory or on disk, a header of nine
    // words, version 3 or 1).
    {0, "\xD7\xCD\xC6\x9A"sv, L".wmf"},
    {0, "\1\0\x09\0\0\x03"sv, L".wmf"},
    {0, "\2\0\x09\0\0\x03"sv, L".wmf"},
    {0, "\1\0\x09\0\0\x01"sv, L".wmf"},
    {0, "\2\0\x09\0\0\x01"sv, L".wmf"},
};

// A signature longer than the data (from its offset) does not fit: nothing is read past the end.
bool Fits(const TSignature& signature, const unsigned char* data, std::size_t dataLength) {
  if (dataLength < signature.Offset || dataLength - signature.Offset < signature.Bytes.size()) return false;
  if (std::memcmp(data + signature.Offset, signature.Bytes.data(), signature.Bytes.size()) != 0) return false;
  return !signature.More || signature.More(data, dataLength);
}

}  // namespace

std::wstring TGraphicType::FilterStr() const {
  const std::wstring patterns = Patterns(Extension);
  return Name + L" (" + patterns + L")|" + patterns;
}

void TGraphicTypeList::AddType(TGraphicClass typeClass, const std::wstring& name, const std::wstring& extension,
                               bool isVector) {
  std::vector<std::wstring> tokens = ExtensionTokens(extension);
  if (tokens.empty()) return;
  // A second type for a registered extension would never be found by it.
  for (const std::wstring& token : tokens)
    if (FindByExtension(token)) return;
  auto type = std::make_unique<TGraphicType>();
  type->TypeClass = typeClass;
  type->Name = name;
  type->Extension = JoinTokens(tokens);
  type->IsVector = isVector;
  Add(std::move(type));
}

void TGraphicTypeList::LeaveTypes(const std::wstring& extensions) {
  std::wstring list = extensions;
  std::replace(list.begin(), list.end(), L'|', L';');
  std::replace(list.begin(), list.end(), L',', L';');
  std::vector<bool> keep(static_cast<size_t>(Count()), false);
  const int tokens = TokenCount(list, L";");
  for (int i = 1; i <= tokens; ++i) {
    const std::wstring token = GetToken(list, L";", i);
    if (TGraphicType* found = FindByExtension(token)) {
      const std::int32_t index = IndexOf(found);
      if (index >= 0) keep[static_cast<size_t>(index)] = true;
    }
  }
  for (std::int32_t i = static_cast<std::int32_t>(keep.size()) - 1; i >= 0; --i)
    if (!keep[static_cast<size_t>(i)]) Delete(At(i));
}

TGraphicType* TGraphicTypeList::FindByExtension(const std::wstring& extension) const {
  const std::wstring query = JoinTokens(ExtensionTokens(extension));
  if (query.empty()) return nullptr;
  const std::wstring wanted = L";" + query + L";";
  for (TListNode* p = StartScan(); Scan(p);) {
    auto* type = static_cast<TGraphicType*>(p);
    if ((L";" + type->Extension + L";").find(wanted) != std::wstring::npos) return type;
  }
  return nullptr;
}

TGraphicClass TGraphicTypeList::ClassByExtension(const std::wstring& extension) const {
  TGraphicType* type = FindByExtension(extension);
  return type ? type->TypeClass : nullptr;
}

TGraphicType* TGraphicTypeList::FindByClass(TGraphicClass graphicClass) const {
  if (!graphicClass) return nullptr;
  for (TListNode* p = StartScan(); Scan(p);) {
    auto* type = static_cast<TGraphicType*>(p);
    if (SameGraphicClass(type->TypeClass, graphicClass)) return type;
  }
  return nullptr;
}

TGraphicType* TGraphicTypeList::FindByObject(const TGraphic* graphic) const {
  if (!graphic) return nullptr;
  // Two types share the metafile class; the object's format tells them apart.
  if (const auto* metafile = dynamic_cast<const TMetafile*>(graphic))
    return FindByExtension(metafile->Enhanced() ? L".emf" : L".wmf");
  for (TListNode* p = StartScan(); Scan(p);) {
    auto* type = static_cast<TGraphicType*>(p);
    if (type->TypeClass && type->TypeClass->Holds(graphic)) return type;
  }
  return nullptr;
}

std::wstring TGraphicTypeList::GraphicName(TGraphicClass graphicClass) const {
  if (SameGraphicClass(graphicClass, ::GraphicClass<TMetafile>())) return L"Windows Metafile";
  TGraphicType* type = FindByClass(graphicClass);
  return type ? type->Name : std::wstring();
}

bool TGraphicTypeList::IsVector(const TGraphic* graphic) {
  if (!graphic) return false;
  if (dynamic_cast<const TMetafile*>(graphic)) return true;
  const TGraphicTypeList* registry = GraphicTypes();
  if (!registry) return false;
  for (TListNode* p = StartScan(); registry->Scan(p);) {
    auto* type = static_cast<TGraphicType*>(p);
    if (type->IsVector && type->TypeClass && type->TypeClass->Holds(graphic)) return true;
  }
  return false;
}

bool TGraphicTypeList::IsVector(TGraphicClass graphicClass) {
  if (!graphicClass) return false;
  if (SameGraphicClass(graphicClass, ::GraphicClass<TMetafile>())) return true;
  const TGraphicTypeList* registry = GraphicTypes();
  if (!registry) return false;
  for (TListNode* p = StartScan(); registry->Scan(p);) {
    auto* type = static_cast<TGraphicType*>(p);
    if (type->IsVector && SameGraphicClass(type->TypeClass, graphicClass)) return true;
  }
  return false;
}

std::wstring TGraphicTypeList::FileFilter() const {
  std::wstring filter, allPatterns;
  for (TListNode* p = StartScan(); Scan(p);) {
    auto* type = static_cast<TGraphicType*>(p);
    const std::wstring patterns = Patterns(type->Extension);
    filter += type->Name + L" (" + patterns + L")|" + patterns + L"|";
    allPatterns = JoinNonEmpty(allPatterns, patterns, L";");
  }
  return filter + L"<Image>|" + allPatterns;
}

TGraphicType* TGraphicTypeList::GuessType(const void* data, std::size_t dataLength) const {
  if (!data) return nullptr;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (const TSignature& signature : kSignatures)
    if (Fits(signature, bytes, dataLength)) return FindByExtension(signature.Extension);
  return nullptr;
}

TGraphicType* TGraphicTypeList::GuessType(TMemoryStream* data) const {
  // Only the stream's own bytes are looked at: a short stream is never read past its end.
  if (!data || data->Size() <= 0) return nullptr;
  return GuessType(data->Memory(), static_cast<std::size_t>(data->Size()));
}

void AddStandardGraphicTypes(TGraphicTypeList& list) {
  list.AddType(GraphicClass<TJPEGImage>(), L"JPEG", L".jpg;.jpeg", false);
  list.AddType(GraphicClass<TPngImage>(), L"PNG", L".png", false);
  list.AddType(GraphicClass<TBitmap>(), L"Bitmap", L".bmp", false);
  list.AddType(GraphicClass<TGIFImage>(), L"GIF", L".gif", false);
  list.AddType(GraphicClass<TIcon>(), L"Icon", L".ico", false);
  list.AddType(GraphicClass<TMetafile>(), L"Enhanced Metafile", L".emf", true);
  list.AddType(GraphicClass<TMetafile>(), L"Windows Metafile", L".wmf", true);
}

TGraphicTypeList* GraphicTypes() { return gGraphicTypes.get(); }

void GraphicTypesStart() {
  gGraphicTypes = std::make_unique<TGraphicTypeList>();
  AddStandardGraphicTypes(*gGraphicTypes);
}

void GraphicTypesStop() {
  // None while the list goes, so nothing reaches a list that is being freed.
  std::unique_ptr<TGraphicTypeList> old = std::move(gGraphicTypes);
  old.reset();
}
