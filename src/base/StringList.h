#pragma once
// Lists of text lines: the abstract TStrings (also implemented by the toolkit's memo, whose
// lines are the edit control's) and the in-memory TStringList.
#include <string>
#include <vector>

class TStrings {
public:
  virtual ~TStrings() = default;

  virtual int Count() const = 0;
  virtual std::wstring Get(int index) const = 0;
  virtual void Put(int index, const std::wstring& s);
  virtual void Insert(int index, const std::wstring& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Appends a line and returns its index.
  virtual int Add(const std::wstring& s);

  std::wstring operator[](int index) const { return Get(index); }
  int IndexOf(const std::wstring& s) const;
  void AddStrings(const TStrings& other);
  void Assign(const TStrings& other);
  std::vector<std::wstring> ToVector() const;

  // Every line followed by CR LF.
  virtual std::wstring Text() const;
  // Replaces the lines by the text split at CR LF, LF or CR; a final break adds no empty line.
  virtual void SetText(const std::wstring& text);

  // Update bracket: nestable; the list may defer its notifications or repaints until the
  // outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const noexcept { return FUpdateCount; }

protected:
  // Called with true when the first BeginUpdate opens the bracket, false when the last one closes.
  virtual void SetUpdateState(bool /*updating*/) {}

private:
  int FUpdateCount = 0;
};

// Opens an update bracket for one scope.
class TStringsUpdate {
public:
  explicit TStringsUpdate(TStrings& list) : FList(list) { FList.BeginUpdate(); }
  TStringsUpdate(const TStringsUpdate&) = delete;
  TStringsUpdate& operator=(const TStringsUpdate&) = delete;
  ~TStringsUpdate() { FList.EndUpdate(); }

private:
  TStrings& FList;
};

class TStringList : public TStrings {
public:
  TStringList() = default;
  TStringList(std::initializer_list<std::wstring> lines) : FLines(lines) {}

  int Count() const override { return static_cast<int>(FLines.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& s) override;
  void Insert(int index, const std::wstring& s) override;
  void Delete(int index) override;
  void Clear() override { FLines.clear(); }
  int Add(const std::wstring& s) override;

  const std::vector<std::wstring>& Lines() const noexcept { return FLines; }

private:
  std::vector<std::wstring> FLines;
};

// Splits a text into lines at CR LF, LF or CR (a final break adds no empty line).
std::vector<std::wstring> SplitLines(const std::wstring& text);
