// The registry of graphic types: the program-wide registry filled at start, every type found by
// each of its extensions and by its leading bytes, the misses, and the lookups by class and
// object.
#include "base/Streams.h"
#include "base/Win.h"
#include "ui/GraphicTypes.h"

#include "support/TestSupport.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class TMyBitmap : public TBitmap {};
class TMyMetafile : public TMetafile {};
class TVectorArt : public TGraphic {};
class TMyVectorArt : public TVectorArt {};

// The names of the types of a list, in list order.
std::vector<std::wstring> Names(const TGraphicTypeList& list) {
  std::vector<std::wstring> names;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) names.push_back(static_cast<TGraphicType*>(p)->Name);
  return names;
}

std::wstring NameOf(const TGraphicType* type) { return type ? type->Name : L"(none)"; }

class GraphicTypeList : public ::testing::Test {
protected:
  void SetUp() override { AddStandardGraphicTypes(FList); }
  TGraphicTypeList FList;
};

const std::vector<std::wstring> kStandardNames{L"JPEG", L"PNG", L"Bitmap", L"GIF", L"Icon", L"Enhanced Metafile",
                                               L"Windows Metafile"};

// ---------------------------------------------------------------------------------------------
// The program-wide registry

struct TStandardType {
  const char* name;
  const wchar_t* typeName;
  TGraphicClass typeClass;
  const wchar_t* extension;
  bool isVector;
};

TEST(GraphicTypesAtStart, SevenTypesInOrder) {
  ASSERT_NE(GraphicTypes(), nullptr);
  const TStandardType expected[] = {
      {"JPEG", L"JPEG", GraphicClass<TJPEGImage>(), L".jpg;.jpeg", false},
      {"PNG", L"PNG", GraphicClass<TPngImage>(), L".png", false},
      {"Bitmap", L"Bitmap", GraphicClass<TBitmap>(), L".bmp", false},
      {"GIF", L"GIF", GraphicClass<TGIFImage>(), L".gif", false},
      {"Icon", L"Icon", GraphicClass<TIcon>(), L".ico", false},
      {"EMF", L"Enhanced Metafile", GraphicClass<TMetafile>(), L".emf", true},
      {"WMF", L"Windows Metafile", GraphicClass<TMetafile>(), L".wmf", true},
  };
  ASSERT_EQ(GraphicTypes()->Count(), static_cast<std::int32_t>(std::size(expected)));
  for (std::int32_t i = 0; i < GraphicTypes()->Count(); ++i) {
    const auto* type = static_cast<const TGraphicType*>(GraphicTypes()->At(i));
    EXPECT_EQ(type->Name, expected[i].typeName);
    EXPECT_TRUE(SameGraphicClass(type->TypeClass, expected[i].typeClass)) << expected[i].name;
    EXPECT_EQ(type->Extension, expected[i].extension);
    EXPECT_EQ(type->IsVector, expected[i].isVector) << expected[i].name;
  }
}

// ---------------------------------------------------------------------------------------------
// By extension

struct TExtensionCase {
  const char* name;
  const wchar_t* extension;
  const wchar_t* typeName;  // nullptr: none
};

class ByExtension : public GraphicTypeList, public ::testing::WithParamInterface<TExtensionCase> {};

TEST_P(ByExtension, FindsTheType) {
  const TExtensionCase& c = GetParam();
  EXPECT_EQ(NameOf(FList.FindByExtension(c.extension)), c.typeName ? c.typeName : L"(none)");
}

INSTANTIATE_TEST_SUITE_P(
    GraphicTypes, ByExtension,
    ::testing::Values(
        TExtensionCase{"Jpg", L".jpg", L"JPEG"}, TExtensionCase{"Jpeg", L".jpeg", L"JPEG"},
        TExtensionCase{"Png", L".png", L"PNG"}, TExtensionCase{"Bmp", L".bmp", L"Bitmap"},
        TExtensionCase{"Gif", L".gif", L"GIF"}, TExtensionCase{"Ico", L".ico", L"Icon"},
        TExtensionCase{"Emf", L".emf", L"Enhanced Metafile"}, TExtensionCase{"Wmf", L".wmf", L"Windows Metafile"},
        TExtensionCase{"CapitalsWithoutDot", L"JPEG", L"JPEG"}, TExtensionCase{"WithoutDot", L"jpeg", L"JPEG"},
        TExtensionCase{"MixedCase", L".Wmf", L"Windows Metafile"}, TExtensionCase{"Blanks", L"  .png ", L"PNG"},
        TExtensionCase{"BothJpegExtensionsInOrder", L".jpg;.jpeg", L"JPEG"},
        TExtensionCase{"EmptyTokensIgnored", L";.jpg;;jpeg;", L"JPEG"},
        TExtensionCase{"MissEmpty", L"", nullptr}, TExtensionCase{"MissOnlySeparators", L";;", nullptr},
        TExtensionCase{"MissDotAlone", L".", nullptr}, TExtensionCase{"MissPartOfAnExtension", L".pg", nullptr},
        TExtensionCase{"MissLongerExtension", L".jpgx", nullptr},
        TExtensionCase{"MissNotRegistered", L".tif", nullptr},
        TExtensionCase{"MissWrongOrder", L".jpeg;.jpg", nullptr},
        TExtensionCase{"MissTwoTypes", L".png;.bmp", nullptr}),
    TCaseName());

TEST_F(GraphicTypeList, ClassByExtension) {
  EXPECT_EQ(FList.ClassByExtension(L".wmf"), GraphicClass<TMetafile>());
  EXPECT_EQ(FList.ClassByExtension(L"gif"), GraphicClass<TGIFImage>());
  EXPECT_EQ(FList.ClassByExtension(L".tif"), nullptr);
}

TEST_F(GraphicTypeList, AddTypeStoresExtensionsAsTheyAreLookedUp) {
  FList.AddType(GraphicClass<TBitmap>(), L"Photoshop", L"PSD", false);
  EXPECT_EQ(NameOf(FList.FindByExtension(L".psd")), L"Photoshop");
  EXPECT_EQ(NameOf(FList.FindByExtension(L".PSD")), L"Photoshop");
  FList.AddType(GraphicClass<TBitmap>(), L"Targa", L" ;TGA;;.Tpic; ", false);
  ASSERT_NE(FList.FindByExtension(L"tga"), nullptr);
  EXPECT_EQ(FList.FindByExtension(L"tga")->Extension, L".tga;.tpic");
  EXPECT_EQ(FList.FindByExtension(L"tga")->FilterStr(), L"Targa (*.tga;*.tpic)|*.tga;*.tpic");
  EXPECT_EQ(Names(FList).size(), kStandardNames.size() + 2);
}

TEST_F(GraphicTypeList, AddTypeOfARegisteredOrEmptyExtensionAddsNothing) {
  FList.AddType(GraphicClass<TMyBitmap>(), L"Other PNG", L"png", false);
  FList.AddType(GraphicClass<TMyBitmap>(), L"Device Bitmap", L".dib;.BMP", false);
  FList.AddType(GraphicClass<TMyBitmap>(), L"Nothing", L"", false);
  FList.AddType(GraphicClass<TMyBitmap>(), L"Nothing", L" ; ;", false);
  EXPECT_EQ(Names(FList), kStandardNames);
  EXPECT_EQ(NameOf(FList.FindByExtension(L".png")), L"PNG");
  EXPECT_EQ(FList.FindByExtension(L".dib"), nullptr);
}

struct TLeaveCase {
  const char* name;
  const wchar_t* extensions;
  std::vector<std::wstring> left;
};

class LeaveTypes : public GraphicTypeList, public ::testing::WithParamInterface<TLeaveCase> {};

TEST_P(LeaveTypes, KeepsTheNamedTypesInOrder) {
  FList.LeaveTypes(GetParam().extensions);
  EXPECT_EQ(Names(FList), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    GraphicTypes, LeaveTypes,
    ::testing::Values(TLeaveCase{"Commas", L"jpg,gif", {L"JPEG", L"GIF"}},
                      TLeaveCase{"Bars", L".bmp|.ico", {L"Bitmap", L"Icon"}},
                      TLeaveCase{"ListOrderNotQueryOrder", L"wmf;;emf;xyz",
                                 {L"Enhanced Metafile", L"Windows Metafile"}},
                      TLeaveCase{"EitherJpegExtension", L"JPEG", {L"JPEG"}},
                      TLeaveCase{"Empty", L"", {}}, TLeaveCase{"OnlySeparators", L",|;", {}},
                      TLeaveCase{"All", L"jpg;png;bmp;gif;ico;emf;wmf", kStandardNames}),
    TCaseName());

TEST_F(GraphicTypeList, FileFilter) {
  EXPECT_EQ(FList.FileFilter(),
            L"JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|PNG (*.png)|*.png|Bitmap (*.bmp)|*.bmp|GIF (*.gif)|*.gif|"
            L"Icon (*.ico)|*.ico|Enhanced Metafile (*.emf)|*.emf|Windows Metafile (*.wmf)|*.wmf|"
            L"<Image>|*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.ico;*.emf;*.wmf");
  EXPECT_EQ(static_cast<const TGraphicType*>(FList.First())->FilterStr(), L"JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg");
  EXPECT_EQ(TGraphicTypeList().FileFilter(), L"<Image>|");
}

// ---------------------------------------------------------------------------------------------
// By class and object

TEST_F(GraphicTypeList, ByClass) {
  EXPECT_EQ(NameOf(FList.FindByClass(GraphicClass<TBitmap>())), L"Bitmap");
  EXPECT_EQ(NameOf(FList.FindByClass(GraphicClass<TMetafile>())), L"Enhanced Metafile");
  EXPECT_EQ(FList.FindByClass(GraphicClass<TMyBitmap>()), nullptr);  // exact classes only
  EXPECT_EQ(FList.FindByClass(nullptr), nullptr);
  EXPECT_EQ(FList.GraphicName(GraphicClass<TMetafile>()), L"Windows Metafile");
  EXPECT_EQ(FList.GraphicName(GraphicClass<TPngImage>()), L"PNG");
  EXPECT_EQ(FList.GraphicName(GraphicClass<TMyMetafile>()), L"");
  EXPECT_EQ(FList.GraphicName(nullptr), L"");
}

TEST_F(GraphicTypeList, ByObject) {
  TMetafile metafile;
  EXPECT_EQ(NameOf(FList.FindByObject(&metafile)), L"Enhanced Metafile");
  metafile.SetEnhanced(false);
  EXPECT_EQ(NameOf(FList.FindByObject(&metafile)), L"Windows Metafile");
  TMyMetafile derivedMetafile;
  derivedMetafile.SetEnhanced(false);
  EXPECT_EQ(NameOf(FList.FindByObject(&derivedMetafile)), L"Windows Metafile");
  TBitmap bitmap;
  EXPECT_EQ(NameOf(FList.FindByObject(&bitmap)), L"Bitmap");
  TMyBitmap derivedBitmap;
  EXPECT_EQ(NameOf(FList.FindByObject(&derivedBitmap)), L"Bitmap");
  TIcon icon;
  EXPECT_EQ(NameOf(FList.FindByObject(&icon)), L"Icon");
  TVectorArt unknown;
  EXPECT_EQ(FList.FindByObject(&unknown), nullptr);
  EXPECT_EQ(FList.FindByObject(nullptr), nullptr);
}

TEST(GraphicTypesVector, ObjectsByInheritanceClassesExactly) {
  TMetafile metafile;
  TMyMetafile derivedMetafile;
  TBitmap bitmap;
  EXPECT_TRUE(TGraphicTypeList::IsVector(&metafile));
  EXPECT_TRUE(TGraphicTypeList::IsVector(&derivedMetafile));
  EXPECT_FALSE(TGraphicTypeList::IsVector(&bitmap));
  EXPECT_FALSE(TGraphicTypeList::IsVector(static_cast<const TGraphic*>(nullptr)));
  EXPECT_TRUE(TGraphicTypeList::IsVector(GraphicClass<TMetafile>()));
  EXPECT_FALSE(TGraphicTypeList::IsVector(GraphicClass<TMyMetafile>()));
  EXPECT_FALSE(TGraphicTypeList::IsVector(GraphicClass<TBitmap>()));
  EXPECT_FALSE(TGraphicTypeList::IsVector(static_cast<TGraphicClass>(nullptr)));
}

TEST(GraphicTypesVector, RegisteredVectorTypesCount) {
  TVectorArt art;
  TMyVectorArt derivedArt;
  EXPECT_FALSE(TGraphicTypeList::IsVector(&art));
  GraphicTypes()->AddType(GraphicClass<TVectorArt>(), L"Vector art", L".vart", true);
  EXPECT_TRUE(TGraphicTypeList::IsVector(&art));
  EXPECT_TRUE(TGraphicTypeList::IsVector(&derivedArt));
  EXPECT_TRUE(TGraphicTypeList::IsVector(GraphicClass<TVectorArt>()));
  EXPECT_FALSE(TGraphicTypeList::IsVector(GraphicClass<TMyVectorArt>()));
  GraphicTypes()->Delete(GraphicTypes()->FindByExtension(L".vart"));
  EXPECT_EQ(Names(*GraphicTypes()), kStandardNames);
}

// ---------------------------------------------------------------------------------------------
// By leading bytes

// Bytes at the very end of a readable page followed by one that cannot be read: a look one
// byte too far faults.
class TFencedBytes {
public:
  explicit TFencedBytes(const std::string& bytes) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    FPage = info.dwPageSize;
    FBase = static_cast<char*>(::VirtualAlloc(nullptr, 2 * FPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    ::VirtualProtect(FBase + FPage, FPage, PAGE_NOACCESS, &old);
    FData = FBase + FPage - bytes.size();
    std::memcpy(FData, bytes.data(), bytes.size());
    FSize = bytes.size();
  }
  TFencedBytes(const TFencedBytes&) = delete;
  TFencedBytes& operator=(const TFencedBytes&) = delete;
  ~TFencedBytes() { ::VirtualFree(FBase, 0, MEM_RELEASE); }
  const void* Data() const { return FData; }
  std::size_t Size() const { return FSize; }

private:
  std::size_t FPage = 0;
  char* FBase = nullptr;
  char* FData = nullptr;
  std::size_t FSize = 0;
};

// An enhanced metafile header of Size bytes: record type 1, " EMF" at offset 40 when it fits.
std::string EmfHeader(std::size_t size) {
  std::string bytes(size, '\0');
  if (size > 0) bytes[0] = '\x01';
  const std::string signature = " EMF";
  for (std::size_t i = 0; i < signature.size() && 40 + i < size; ++i) bytes[40 + i] = signature[i];
  return bytes;
}

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (unsigned v : values) bytes += static_cast<char>(v);
  return bytes;
}

struct TSignatureCase {
  const char* name;
  std::string bytes;
  const wchar_t* typeName;  // nullptr: none
};

class ByLeadingBytes : public GraphicTypeList, public ::testing::WithParamInterface<TSignatureCase> {};

TEST_P(ByLeadingBytes, FindsTheType) {
  const TSignatureCase& c = GetParam();
  const std::wstring expected = c.typeName ? c.typeName : L"(none)";
  TFencedBytes fenced(c.bytes);
  EXPECT_EQ(NameOf(FList.GuessType(fenced.Data(), fenced.Size())), expected);
  TMemoryStream stream(c.bytes);
  EXPECT_EQ(NameOf(FList.GuessType(&stream)), expected) << "memory stream";
}

INSTANTIATE_TEST_SUITE_P(
    GraphicTypes, ByLeadingBytes,
    ::testing::Values(
        TSignatureCase{"Bitmap", "BM\x36\x10\0\0", L"Bitmap"},
        TSignatureCase{"BitmapSignatureAlone", "BM", L"Bitmap"},
        TSignatureCase{"Png", "\x89PNG\r\n\x1A\n", L"PNG"},
        TSignatureCase{"JpegJfif", Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}) + "JFIF", L"JPEG"},
        TSignatureCase{"JpegExifOfCameras", Bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x1C, 0x45}) + "Exif", L"JPEG"},
        TSignatureCase{"JpegIccProfile", Bytes({0xFF, 0xD8, 0xFF, 0xE2}), L"JPEG"},
        TSignatureCase{"JpegAdobe", Bytes({0xFF, 0xD8, 0xFF, 0xEE}), L"JPEG"},
        TSignatureCase{"JpegTablesFirst", Bytes({0xFF, 0xD8, 0xFF, 0xDB}), L"JPEG"},
        TSignatureCase{"EnhancedMetafile", EmfHeader(88), L"Enhanced Metafile"},
        TSignatureCase{"EnhancedMetafileHeaderAlone", EmfHeader(44), L"Enhanced Metafile"},
        TSignatureCase{"Gif89a", "GIF89a\x10\0", L"GIF"},
        TSignatureCase{"Gif87a", "GIF87a", L"GIF"},
        TSignatureCase{"Icon", Bytes({0, 0, 1, 0, 2, 0, 16, 16}), L"Icon"},
        TSignatureCase{"PlaceableWindowsMetafile", Bytes({0xD7, 0xCD, 0xC6, 0x9A, 0, 0}), L"Windows Metafile"},
        TSignatureCase{"WindowsMetafileOnDisk", Bytes({2, 0, 9, 0, 0, 3, 0x30, 0}), L"Windows Metafile"},
        TSignatureCase{"WindowsMetafileInMemory", Bytes({1, 0, 9, 0, 0, 3}), L"Windows Metafile"},
        // Misses
        TSignatureCase{"TiffIntelNotRegistered", Bytes({'I', 'I', '*', 0, 8, 0}), nullptr},
        TSignatureCase{"TiffMotorolaNotRegistered", Bytes({'M', 'M', 0, '*', 0, 0}), nullptr},
        TSignatureCase{"Empty", "", nullptr},
        TSignatureCase{"ShorterThanTheBitmapSignature", "B", nullptr},
        TSignatureCase{"ShorterThanThePngSignature", "\x89PNG\r", nullptr},
        TSignatureCase{"JpegStartWithoutMarker", Bytes({0xFF, 0xD8, 0xFF}), nullptr},
        TSignatureCase{"JpegStartWithoutMarkerCode", Bytes({0xFF, 0xD8, 0xFF, 0x00}), nullptr},
        TSignatureCase{"MetafileHeaderOneByteShort", EmfHeader(43), nullptr},
        TSignatureCase{"GifOfAnotherVersion", "GIF88a", nullptr},
        TSignatureCase{"IconWithoutImages", Bytes({0, 0, 1, 0, 0, 0}), nullptr},
        TSignatureCase{"IconDirectoryCut", Bytes({0, 0, 1, 0, 1}), nullptr},
        TSignatureCase{"Cursor", Bytes({0, 0, 2, 0, 1, 0}), nullptr},
        TSignatureCase{"WindowsMetafileCut", Bytes({1, 0, 9, 0, 0}), nullptr},
        TSignatureCase{"Text", "Hello, world", nullptr}),
    TCaseName());

TEST_F(GraphicTypeList, GuessTypeWithoutData) {
  EXPECT_EQ(FList.GuessType(nullptr, 44), nullptr);
  EXPECT_EQ(FList.GuessType(static_cast<TMemoryStream*>(nullptr)), nullptr);
  TMemoryStream empty;
  EXPECT_EQ(FList.GuessType(&empty), nullptr);
}

TEST_F(GraphicTypeList, GuessTypeOnlyFindsRegisteredTypes) {
  FList.LeaveTypes(L"png");
  EXPECT_EQ(FList.GuessType("BM", 2), nullptr);
  EXPECT_EQ(NameOf(FList.GuessType("\x89PNG\r\n", 6)), L"PNG");
}

}  // namespace
