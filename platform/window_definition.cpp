#include "platform/window_definition.h"

#include <cstring>
#include <set>

#include "platform/exceptions.h"

using window_definition::ValueType;

namespace {

// Names in a message come from the bytes and may hold any byte; a zero byte would cut the
// message short, so control characters are written as \xNN.
std::string Printable(const std::string& text) {
  std::string printable;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 && code != 127) {
      printable += c;
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      printable += {'\\', 'x', kHex[code >> 4], kHex[code & 15]};
    }
  }
  return printable;
}

[[noreturn]] void Invalid(const std::string& problem, size_t offset) {
  throw Exception("Invalid window definition: " + Printable(problem) + " at offset " +
                  std::to_string(offset));
}

// A read position over [data, data + size) that refuses to step outside it. `base` is the
// offset of data[0] within the whole definition, so that messages name whole-file offsets.
class Cursor {
 public:
  Cursor(const uint8_t* data, size_t size, size_t base = 0)
      : data_(data), size_(size), base_(base) {}

  size_t Offset() const { return base_ + position_; }
  bool AtEnd() const { return position_ == size_; }

  uint8_t Byte(const char* what) {
    Need(1, what);
    return data_[position_++];
  }

  uint32_t UInt32(const char* what) {
    Need(4, what);
    const uint8_t* p = data_ + position_;
    position_ += 4;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }

  // `count` bytes, handed out in place.
  const uint8_t* Take(size_t count, const char* what) {
    Need(count, what);
    const uint8_t* start = data_ + position_;
    position_ += count;
    return start;
  }

  std::string Chars(size_t count, const char* what) {
    const uint8_t* start = Take(count, what);
    return std::string(reinterpret_cast<const char*>(start), count);
  }

  // A length byte of 1 to 255 and that many characters.
  std::string ShortString(const char* what) {
    const size_t at = Offset();
    const uint8_t length = Byte(what);
    if (length == 0) Invalid(std::string("empty ") + what, at);
    return Chars(length, what);
  }

 private:
  void Need(size_t count, const char* what) const {
    if (count > size_ - position_) {
      Invalid(std::string("unexpected end of data reading ") + what, Offset());
    }
  }

  const uint8_t* data_;
  size_t size_;
  size_t base_;
  size_t position_ = 0;
};

struct Value {
  ValueType type = ValueType::kInt32;
  size_t offset = 0;  // where the value starts, for messages
  int32_t integer = 0;
  bool boolean = false;
  std::string text;                  // string and identifier
  std::vector<std::string> members;  // set
  const uint8_t* binary = nullptr;
  size_t binary_size = 0;
};

const char* TypeName(ValueType type) {
  switch (type) {
    case ValueType::kInt32:
      return "int32";
    case ValueType::kString:
      return "string";
    case ValueType::kIdentifier:
      return "identifier";
    case ValueType::kBool:
      return "bool";
    case ValueType::kBinary:
      return "binary";
    case ValueType::kSet:
      return "set";
  }
  return "?";
}

Value ReadValue(Cursor& in) {
  const uint8_t type = in.Byte("a value type");
  Value value;
  value.type = static_cast<ValueType>(type);
  value.offset = in.Offset();
  switch (value.type) {
    case ValueType::kInt32: {
      const uint32_t bits = in.UInt32("an int32 value");
      std::memcpy(&value.integer, &bits, sizeof bits);
      break;
    }
    case ValueType::kString:
      value.text = in.Chars(in.UInt32("a string length"), "a string value");
      break;
    case ValueType::kIdentifier:
      value.text = in.ShortString("identifier");
      break;
    case ValueType::kBool: {
      const uint8_t flag = in.Byte("a bool value");
      if (flag > 1) Invalid("bool value " + std::to_string(flag), value.offset);
      value.boolean = flag == 1;
      break;
    }
    case ValueType::kBinary:
      value.binary_size = in.UInt32("a binary length");
      value.binary = in.Take(value.binary_size, "a binary value");
      break;
    case ValueType::kSet: {
      const uint8_t count = in.Byte("a set count");
      for (uint8_t i = 0; i < count; ++i) value.members.push_back(in.ShortString("set member"));
      break;
    }
    default:
      Invalid("unknown value type " + std::to_string(type), value.offset - 1);
  }
  return value;
}

// Identifier -> enumeration value, for one property.
template <class T>
struct Name {
  const char* name;
  T value;
};

template <class T, size_t N>
T Lookup(const Name<T> (&names)[N], const Value& value, const char* property) {
  for (const Name<T>& entry : names) {
    if (value.text == entry.name) return entry.value;
  }
  Invalid(std::string("unknown ") + property + " value '" + value.text + "'", value.offset);
}

const Name<BorderStyle> kBorderStyles[] = {
    {"bsNone", BorderStyle::bsNone},
    {"bsSingle", BorderStyle::bsSingle},
    {"bsSizeable", BorderStyle::bsSizeable},
    {"bsDialog", BorderStyle::bsDialog},
    {"bsToolWindow", BorderStyle::bsToolWindow},
    {"bsSizeToolWin", BorderStyle::bsSizeToolWin},
};

const Name<FormPosition> kPositions[] = {
    {"poDesigned", FormPosition::poDesigned},
    {"poDefault", FormPosition::poDefault},
    {"poDefaultPosOnly", FormPosition::poDefaultPosOnly},
    {"poDefaultSizeOnly", FormPosition::poDefaultSizeOnly},
    {"poScreenCenter", FormPosition::poScreenCenter},
    {"poDesktopCenter", FormPosition::poDesktopCenter},
};

const Name<Color> kColors[] = {
    {"clBtnFace", clBtnFace}, {"clWindowText", clWindowText}, {"clWindow", clWindow},
    {"clBlack", clBlack},     {"clWhite", clWhite},
};

const Name<int32_t> kCharsets[] = {
    {"ANSI_CHARSET", 0},
    {"DEFAULT_CHARSET", kDefaultCharset},
    {"SYMBOL_CHARSET", 2},
    {"OEM_CHARSET", 255},
};

const Name<uint8_t> kFontStyles[] = {
    {"fsBold", fsBold},
    {"fsItalic", fsItalic},
    {"fsUnderline", fsUnderline},
    {"fsStrikeOut", fsStrikeOut},
};

uint8_t FontStyle(const Value& value) {
  uint8_t style = 0;
  for (const std::string& member : value.members) {
    Value one = value;
    one.text = member;
    style |= Lookup(kFontStyles, one, "Font.Style");
  }
  return style;
}

PictureData ReadPicture(const Value& value) {
  Cursor in(value.binary, value.binary_size, value.offset + 4);
  PictureData picture;
  picture.class_name = in.ShortString("picture class name");
  const uint32_t count = in.UInt32("the picture's byte count");
  const uint8_t* bytes = in.Take(count, "the picture's bytes");
  picture.bytes.assign(bytes, bytes + count);
  if (!in.AtEnd()) Invalid("bytes after the picture", in.Offset());
  return picture;
}

template <class Target>
struct Property {
  const char* name;
  ValueType type;
  void (*apply)(Target& target, const Value& value);
};

constexpr Property<FormDefinition> kFormProperties[] = {
    {"Left", ValueType::kInt32, [](FormDefinition& f, const Value& v) { f.left = v.integer; }},
    {"Top", ValueType::kInt32, [](FormDefinition& f, const Value& v) { f.top = v.integer; }},
    {"ClientWidth", ValueType::kInt32,
     [](FormDefinition& f, const Value& v) { f.client_width = v.integer; }},
    {"ClientHeight", ValueType::kInt32,
     [](FormDefinition& f, const Value& v) { f.client_height = v.integer; }},
    {"BorderStyle", ValueType::kIdentifier,
     [](FormDefinition& f, const Value& v) {
       f.border_style = Lookup(kBorderStyles, v, "BorderStyle");
     }},
    {"Position", ValueType::kIdentifier,
     [](FormDefinition& f, const Value& v) { f.position = Lookup(kPositions, v, "Position"); }},
    {"Color", ValueType::kIdentifier,
     [](FormDefinition& f, const Value& v) { f.color = Lookup(kColors, v, "Color"); }},
    {"Caption", ValueType::kString, [](FormDefinition& f, const Value& v) { f.caption = v.text; }},
    {"Font.Name", ValueType::kString,
     [](FormDefinition& f, const Value& v) { f.font.name = v.text; }},
    {"Font.Height", ValueType::kInt32,
     [](FormDefinition& f, const Value& v) { f.font.height = v.integer; }},
    {"Font.Charset", ValueType::kIdentifier,
     [](FormDefinition& f, const Value& v) {
       f.font.charset = Lookup(kCharsets, v, "Font.Charset");
     }},
    {"Font.Color", ValueType::kIdentifier,
     [](FormDefinition& f, const Value& v) { f.font.color = Lookup(kColors, v, "Font.Color"); }},
    {"Font.Style", ValueType::kSet,
     [](FormDefinition& f, const Value& v) { f.font.style = FontStyle(v); }},
    {"PixelsPerInch", ValueType::kInt32,
     [](FormDefinition& f, const Value& v) { f.pixels_per_inch = v.integer; }},
    {"TextHeight", ValueType::kInt32,
     [](FormDefinition& f, const Value& v) { f.text_height = v.integer; }},
    {"OldCreateOrder", ValueType::kBool,
     [](FormDefinition& f, const Value& v) { f.old_create_order = v.boolean; }},
    {"Visible", ValueType::kBool, [](FormDefinition& f, const Value& v) { f.visible = v.boolean; }},
    {"Scaled", ValueType::kBool, [](FormDefinition& f, const Value& v) { f.scaled = v.boolean; }},
    {"OnCreate", ValueType::kIdentifier,
     [](FormDefinition& f, const Value& v) { f.on_create = v.text; }},
};

constexpr Property<ImageDefinition> kImageProperties[] = {
    {"Left", ValueType::kInt32, [](ImageDefinition& i, const Value& v) { i.left = v.integer; }},
    {"Top", ValueType::kInt32, [](ImageDefinition& i, const Value& v) { i.top = v.integer; }},
    {"Width", ValueType::kInt32, [](ImageDefinition& i, const Value& v) { i.width = v.integer; }},
    {"Height", ValueType::kInt32, [](ImageDefinition& i, const Value& v) { i.height = v.integer; }},
    {"AutoSize", ValueType::kBool,
     [](ImageDefinition& i, const Value& v) { i.auto_size = v.boolean; }},
    {"Center", ValueType::kBool, [](ImageDefinition& i, const Value& v) { i.center = v.boolean; }},
    {"Stretch", ValueType::kBool,
     [](ImageDefinition& i, const Value& v) { i.stretch = v.boolean; }},
    {"Proportional", ValueType::kBool,
     [](ImageDefinition& i, const Value& v) { i.proportional = v.boolean; }},
    {"Transparent", ValueType::kBool,
     [](ImageDefinition& i, const Value& v) { i.transparent = v.boolean; }},
    {"Picture", ValueType::kBinary,
     [](ImageDefinition& i, const Value& v) { i.picture = ReadPicture(v); }},
};

constexpr Property<ApplicationEventsDefinition> kApplicationEventsProperties[] = {
    {"Left", ValueType::kInt32,
     [](ApplicationEventsDefinition& e, const Value& v) { e.left = v.integer; }},
    {"Top", ValueType::kInt32,
     [](ApplicationEventsDefinition& e, const Value& v) { e.top = v.integer; }},
    {"OnIdle", ValueType::kIdentifier,
     [](ApplicationEventsDefinition& e, const Value& v) { e.on_idle = v.text; }},
};

// Reads properties up to the empty name that ends them, applying each through `table`.
template <class Target, size_t N>
void ReadProperties(Cursor& in, const std::string& object, const Property<Target> (&table)[N],
                    Target& target) {
  std::set<std::string> seen;
  for (;;) {
    const size_t name_at = in.Offset();
    const uint8_t length = in.Byte("a property name");
    if (length == 0) return;
    const std::string name = in.Chars(length, "a property name");
    const Value value = ReadValue(in);

    const Property<Target>* property = nullptr;
    for (const Property<Target>& entry : table) {
      if (name == entry.name) property = &entry;
    }
    if (property == nullptr) Invalid("unknown property " + object + "." + name, name_at);
    if (!seen.insert(name).second)
      Invalid("property " + object + "." + name + " set twice", name_at);
    if (value.type != property->type) {
      Invalid("property " + object + "." + name + " takes " + TypeName(property->type) +
                  ", not " + TypeName(value.type),
              value.offset - 1);
    }
    property->apply(target, value);
  }
}

}  // namespace

WindowDefinition ReadWindowDefinition(const uint8_t* data, size_t size) {
  Cursor in(data, size);
  if (in.Chars(sizeof window_definition::kSignature, "the signature") !=
      std::string(window_definition::kSignature, sizeof window_definition::kSignature)) {
    Invalid("wrong signature", 0);
  }

  WindowDefinition definition;
  bool have_form = false, have_image = false, have_events = false;
  for (;;) {
    const size_t object_at = in.Offset();
    const uint8_t length = in.Byte("an object's class name");
    if (length == 0) break;
    const std::string class_name = in.Chars(length, "an object's class name");
    const std::string name = in.ShortString("object name");

    if (!have_form) {
      have_form = true;
      definition.form.class_name = class_name;
      definition.form.name = name;
      ReadProperties(in, name, kFormProperties, definition.form);
    } else if (class_name == "TImage" && !have_image) {
      have_image = true;
      definition.image.name = name;
      ReadProperties(in, name, kImageProperties, definition.image);
    } else if (class_name == "TApplicationEvents" && !have_events) {
      have_events = true;
      definition.application_events.name = name;
      ReadProperties(in, name, kApplicationEventsProperties, definition.application_events);
    } else {
      Invalid("unexpected " + class_name + " component " + name, object_at);
    }
  }
  if (!in.AtEnd()) Invalid("bytes after the end of the objects", in.Offset());
  if (!have_form) Invalid("no form", in.Offset());
  if (!have_image) Invalid("no TImage component", in.Offset());
  if (!have_events) Invalid("no TApplicationEvents component", in.Offset());
  return definition;
}
