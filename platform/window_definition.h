// The window definition: the values a form is built from, carried as an RCDATA resource
// and read here into plain values. The reader knows the properties of a form, an image
// control and an application-events component; anything else in the bytes is an error,
// because a definition that does not match this reader is a build fault, not user data.
//
// Byte layout (all counts and integers little-endian):
//
//   Offset  Size  Field
//   0       4     signature "WDF1"
//   4       ...   objects, one after another; the first is the form, the rest its components
//   ...     1     0: end of the objects (an empty class name); no byte may follow
//
// An object:
//   short string  class name, e.g. "TForm1", "TImage"
//   short string  object name, e.g. "Form1", "Image1"
//   properties, each:
//     short string  property name; nested properties are dotted ("Font.Height")
//     1 byte        value type (table below)
//     ...           the value
//   1 byte 0      end of the properties (an empty property name)
//
// A short string is one length byte L (1 to 255) followed by L characters.
//
//   Type  Name        Value bytes
//   0x01  int32       4: signed
//   0x02  string      4: length N, then N bytes (any byte values)
//   0x03  identifier  a short string: an enumeration value or an event handler's name
//   0x04  bool        1: 0 False, 1 True
//   0x05  binary      4: length N, then N bytes
//   0x06  set         1: count C, then C short strings (identifiers)
//
// A picture (an image's "Picture" property) is a binary value whose N bytes hold:
//   short string  the picture class name, "TJPEGImage"
//   4             byte count M
//   M             the picture file's bytes
// so that N = 1 + L + 4 + M exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace window_definition {

constexpr char kSignature[4] = {'W', 'D', 'F', '1'};

enum class ValueType : uint8_t {
  kInt32 = 0x01,
  kString = 0x02,
  kIdentifier = 0x03,
  kBool = 0x04,
  kBinary = 0x05,
  kSet = 0x06,
};

}  // namespace window_definition

enum class BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum class FormPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
};

// A colour: one of the window system's colours (by its GetSysColor index) or an RGB value
// in COLORREF order (0x00BBGGRR).
struct Color {
  bool system = false;
  uint32_t value = 0;
  bool operator==(const Color& other) const {
    return system == other.system && value == other.value;
  }
};

constexpr Color clBtnFace{true, 15};    // COLOR_BTNFACE
constexpr Color clWindowText{true, 8};  // COLOR_WINDOWTEXT
constexpr Color clWindow{true, 5};      // COLOR_WINDOW
constexpr Color clBlack{false, 0x000000};
constexpr Color clWhite{false, 0xFFFFFF};

// Font styles, as bits of FontDefinition::style.
constexpr uint8_t fsBold = 1;
constexpr uint8_t fsItalic = 2;
constexpr uint8_t fsUnderline = 4;
constexpr uint8_t fsStrikeOut = 8;

constexpr int32_t kDefaultCharset = 1;  // DEFAULT_CHARSET

// Each member starts at the platform's default: what the definition does not set keeps it.
struct FontDefinition {
  std::string name = "MS Sans Serif";
  int32_t height = -11;
  int32_t charset = kDefaultCharset;  // a LOGFONT character set value
  Color color = clWindowText;
  uint8_t style = 0;
};

struct FormDefinition {
  std::string class_name;
  std::string name;
  int32_t left = 0;
  int32_t top = 0;
  int32_t client_width = 0;
  int32_t client_height = 0;
  BorderStyle border_style = BorderStyle::bsSizeable;
  FormPosition position = FormPosition::poDesigned;
  Color color = clBtnFace;
  std::string caption;
  FontDefinition font;
  int32_t pixels_per_inch = 96;
  int32_t text_height = 13;
  bool old_create_order = true;
  bool visible = false;
  bool scaled = true;
  std::string on_create;  // the creation handler's name; empty for none
};

struct PictureData {
  std::string class_name;  // empty when the image holds no picture
  std::vector<uint8_t> bytes;
};

struct ImageDefinition {
  std::string name;
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 105;
  int32_t height = 105;
  bool auto_size = false;
  bool center = false;
  bool stretch = false;
  bool proportional = false;
  bool transparent = false;
  PictureData picture;
};

struct ApplicationEventsDefinition {
  std::string name;
  int32_t left = 0;  // design position only: the component is never visible
  int32_t top = 0;
  std::string on_idle;  // the idle handler's name; empty for none
};

struct WindowDefinition {
  FormDefinition form;
  ImageDefinition image;
  ApplicationEventsDefinition application_events;
};

// Reads a whole definition. Raises Exception, naming the offset and what was expected,
// for any input that does not follow the layout above: it never reads outside
// [data, data + size).
WindowDefinition ReadWindowDefinition(const uint8_t* data, size_t size);
