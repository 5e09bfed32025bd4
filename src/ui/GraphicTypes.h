#pragma once
// The registry of graphic file types: for each format the toolkit class that loads it, a display
// name, its file extensions and whether it is vector art; lookups by extension, class, object and
// leading bytes, and the filter text of file dialogs. The program-wide registry is filled with
// the seven standard types when the library starts.
#include "base/LinkList.h"
#include "toolkit/GraphicClasses.h"

#include <cstddef>
#include <string>

class TMemoryStream;

class TGraphicType : public TListNode {
public:
  TGraphicClass TypeClass = nullptr;
  std::wstring Name;        // "JPEG"
  std::wstring Extension;   // ".jpg;.jpeg": lower case, each with its ".", separated by ";"
  bool IsVector = false;

  // The type's entry of a file dialog filter: "JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg".
  std::wstring FilterStr() const;
};

// Owns its types; every search returns the first match in list order.
class TGraphicTypeList : public TLinkList {
public:
  // Appends a type for the extensions (";" separated; blanks, empty tokens and missing dots
  // are put right, capitals lowered) unless one of them is registered already or none is left.
  void AddType(TGraphicClass typeClass, const std::wstring& name, const std::wstring& extension, bool isVector);
  // Keeps only the types named by the extensions ("," "|" and ";" separate them), in their order.
  void LeaveTypes(const std::wstring& extensions);
  // The first type whose extensions hold the given one (in any case, with or without "."); a
  // query of several extensions finds a type that holds them next to each other in that order.
  TGraphicType* FindByExtension(const std::wstring& extension) const;
  TGraphicClass ClassByExtension(const std::wstring& extension) const;
  // The first type of exactly this class.
  TGraphicType* FindByClass(TGraphicClass graphicClass) const;
  // Metafiles by their format; any other graphic by the first type whose class it is an
  // instance of.
  TGraphicType* FindByObject(const TGraphic* graphic) const;
  // "Windows Metafile" for TMetafile itself, else the name of FindByClass; empty when none.
  std::wstring GraphicName(TGraphicClass graphicClass) const;
  // Vector art, judged by the program-wide registry: an object by inheritance, a class exactly.
  static bool IsVector(const TGraphic* graphic);
  static bool IsVector(TGraphicClass graphicClass);
  // "JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|...|<Image>|*.jpg;*.jpeg;..."
  std::wstring FileFilter() const;
  // The type of an image judged by its first bytes (DataLength of them at Data): bitmap, PNG,
  // JPEG, enhanced metafile, GIF, TIFF, icon, Windows metafile; none when nothing fits or the
  // format is not registered. A signature longer than the data does not fit.
  TGraphicType* GuessType(const void* data, std::size_t dataLength) const;
  // The same for the bytes of a memory stream; none for no stream or an empty one.
  TGraphicType* GuessType(TMemoryStream* data) const;
};

// Adds the seven standard types: JPEG, PNG, Bitmap, GIF, Icon, Enhanced Metafile, Windows Metafile.
void AddStandardGraphicTypes(TGraphicTypeList& list);

// The program-wide registry; none before the unit starts and after it stops.
TGraphicTypeList* GraphicTypes();

// Unit start and stop (library start-up list): the registry is created and filled, and freed.
void GraphicTypesStart();
void GraphicTypesStop();
