#include "base/StringList.h"

#include <stdexcept>

void TStrings::Put(int index, const std::wstring& s) {
  Delete(index);
  Insert(index, s);
}

int TStrings::Add(const std::wstring& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::IndexOf(const std::wstring& s) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (Get(i) == s) return i;
  return -1;
}

void TStrings::AddStrings(const TStrings& other) {
  TStringsUpdate update(*this);
  for (int i = 0, n = other.Count(); i < n; ++i) Add(other.Get(i));
}

void TStrings::Assign(const TStrings& other) {
  if (&other == this) return;
  TStringsUpdate update(*this);
  Clear();
  AddStrings(other);
}

std::vector<std::wstring> TStrings::ToVector() const {
  std::vector<std::wstring> lines;
  lines.reserve(static_cast<size_t>(Count()));
  for (int i = 0, n = Count(); i < n; ++i) lines.push_back(Get(i));
  return lines;
}

std::wstring TStrings::Text() const {
  std::wstring text;
  for (int i = 0, n = Count(); i < n; ++i) {
    text += Get(i);
    text += L"\r\n";
  }
  return text;
}

void TStrings::SetText(const std::wstring& text) {
  TStringsUpdate update(*this);
  Clear();
  for (const std::wstring& line : SplitLines(text)) Add(line);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

std::wstring TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("TStringList index out of range");
  return FLines[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const std::wstring& s) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TStringList index out of range");
  FLines[static_cast<size_t>(index)] = s;
}

void TStringList::Insert(int index, const std::wstring& s) {
  if (index < 0 || index > Count()) throw std::out_of_range("TStringList index out of range");
  FLines.insert(FLines.begin() + index, s);
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TStringList index out of range");
  FLines.erase(FLines.begin() + index);
}

int TStringList::Add(const std::wstring& s) {
  FLines.push_back(s);
  return Count() - 1;
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.emplace_back(text, start, i - start);
      i += (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
  return lines;
}
