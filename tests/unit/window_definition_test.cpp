#include "platform/window_definition.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "splash_data.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Embedded(const unsigned char* data, size_t size) { return Bytes(data, data + size); }

WindowDefinition Read(const Bytes& bytes) {
  return ReadWindowDefinition(bytes.data(), bytes.size());
}

// The definition the build compiles from app/splash/form1.def, read back.
TEST(SplashDefinition, HoldsEveryValueOfTheWindow) {
  const WindowDefinition d = Read(Embedded(kForm1Definition, sizeof kForm1Definition));

  const FormDefinition& form = d.form;
  EXPECT_EQ(form.class_name, "TForm1");
  EXPECT_EQ(form.name, "Form1");
  EXPECT_EQ(form.border_style, BorderStyle::bsNone);
  EXPECT_EQ(form.client_width, 250);
  EXPECT_EQ(form.client_height, 158);
  EXPECT_EQ(form.position, FormPosition::poScreenCenter);
  EXPECT_EQ(form.color, clBtnFace);
  EXPECT_EQ(form.caption, "Form1");
  EXPECT_EQ(form.font.name, "MS Sans Serif");
  EXPECT_EQ(form.font.height, -11);
  EXPECT_EQ(form.font.charset, kDefaultCharset);
  EXPECT_EQ(form.font.color, clWindowText);
  EXPECT_EQ(form.font.style, 0);
  EXPECT_EQ(form.pixels_per_inch, 96);
  EXPECT_EQ(form.text_height, 13);
  EXPECT_EQ(form.left, 424);
  EXPECT_EQ(form.top, 258);
  EXPECT_FALSE(form.old_create_order);
  EXPECT_EQ(form.on_create, "FormCreate");
  // Not in the definition: the defaults that matter.
  EXPECT_FALSE(form.visible);
  EXPECT_TRUE(form.scaled);

  const ImageDefinition& image = d.image;
  EXPECT_EQ(image.name, "Image1");
  EXPECT_EQ(image.left, 0);
  EXPECT_EQ(image.top, 0);
  EXPECT_EQ(image.width, 251);
  EXPECT_EQ(image.height, 159);
  EXPECT_TRUE(image.auto_size);
  EXPECT_TRUE(image.center);
  EXPECT_FALSE(image.stretch);
  EXPECT_FALSE(image.proportional);
  EXPECT_FALSE(image.transparent);
  EXPECT_EQ(image.picture.class_name, "TJPEGImage");
  EXPECT_EQ(image.picture.bytes, Embedded(kSplashJpeg, sizeof kSplashJpeg));

  EXPECT_EQ(d.application_events.name, "ApplicationEvents1");
  EXPECT_EQ(d.application_events.on_idle, "ApplicationEvents1Idle");
  EXPECT_EQ(d.application_events.left, 212);
  EXPECT_EQ(d.application_events.top, 44);
}

// The picture's storage, byte for byte: length byte 10, "TJPEGImage", the file's size as
// 32-bit little-endian, then the file.
TEST(SplashDefinition, StoresThePictureAsClassNameCountAndFile) {
  const Bytes bytes = Embedded(kForm1Definition, sizeof kForm1Definition);
  const std::string text(bytes.begin(), bytes.end());
  const size_t at = text.find("\x0ATJPEGImage");
  ASSERT_NE(at, std::string::npos);
  const size_t count_at = at + 11;
  ASSERT_LE(count_at + 4, bytes.size());
  const uint32_t count = bytes[count_at] | bytes[count_at + 1] << 8 | bytes[count_at + 2] << 16 |
                         static_cast<uint32_t>(bytes[count_at + 3]) << 24;
  EXPECT_EQ(count, sizeof kSplashJpeg);
  ASSERT_LE(count_at + 4 + count, bytes.size());
  EXPECT_EQ(0, std::memcmp(bytes.data() + count_at + 4, kSplashJpeg, sizeof kSplashJpeg));
}

// Every proper prefix of the real definition is refused, and never read past: each prefix
// sits in a buffer of exactly its size, so the sanitizer sees any read beyond it.
TEST(SplashDefinition, EveryTruncationRaises) {
  const Bytes whole = Embedded(kForm1Definition, sizeof kForm1Definition);
  for (size_t size = 0; size < whole.size(); ++size) {
    const Bytes prefix(whole.begin(), whole.begin() + size);
    EXPECT_THROW(Read(prefix), Exception) << "prefix of " << size << " bytes";
  }
}

// Builds small definitions for the malformed cases.
class Builder {
 public:
  Builder() : bytes_{'W', 'D', 'F', '1'} {}

  Builder& Object(const std::string& class_name, const std::string& name) {
    if (open_) bytes_.push_back(0);
    open_ = true;
    Short(class_name);
    Short(name);
    return *this;
  }
  Builder& Int(const std::string& name, int32_t value) {
    Short(name);
    bytes_.push_back(0x01);
    Word(static_cast<uint32_t>(value));
    return *this;
  }
  Builder& Ident(const std::string& name, const std::string& value) {
    Short(name);
    bytes_.push_back(0x03);
    Short(value);
    return *this;
  }
  // A property name followed by raw value bytes, type byte included.
  Builder& Raw(const std::string& name, const Bytes& value) {
    Short(name);
    Append(value);
    return *this;
  }
  Builder& Append(const Bytes& raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
  }
  Bytes End() const {
    Bytes out = bytes_;
    if (open_) out.push_back(0);
    out.push_back(0);
    return out;
  }

 private:
  void Short(const std::string& text) {
    bytes_.push_back(static_cast<uint8_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  void Word(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }

  Bytes bytes_;
  bool open_ = false;
};

Bytes Le32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

// A picture value (type 0x05): the binary holds the class name, a count and `bytes`.
Bytes PictureValue(uint32_t binary_size, uint32_t count, const Bytes& bytes) {
  Bytes value{0x05};
  const Bytes size = Le32(binary_size);
  value.insert(value.end(), size.begin(), size.end());
  const std::string name = "TJPEGImage";
  value.push_back(static_cast<uint8_t>(name.size()));
  value.insert(value.end(), name.begin(), name.end());
  const Bytes counted = Le32(count);
  value.insert(value.end(), counted.begin(), counted.end());
  value.insert(value.end(), bytes.begin(), bytes.end());
  return value;
}

// The smallest valid definition with `form`, `image` and `events` properties added.
Bytes Minimal(const std::function<void(Builder&)>& form = nullptr,
              const std::function<void(Builder&)>& image = nullptr) {
  Builder b;
  b.Object("TForm1", "Form1");
  if (form) form(b);
  b.Object("TImage", "Image1");
  if (image) image(b);
  b.Object("TApplicationEvents", "ApplicationEvents1");
  return b.End();
}

TEST(WindowDefinition, MinimalDefinitionKeepsTheDefaults) {
  const WindowDefinition d = Read(Minimal());
  EXPECT_EQ(d.form.border_style, BorderStyle::bsSizeable);
  EXPECT_TRUE(d.image.picture.class_name.empty());
  EXPECT_TRUE(d.image.picture.bytes.empty());
  EXPECT_TRUE(d.application_events.on_idle.empty());
}

TEST(WindowDefinition, ReadsAPictureOfAnySizeExactly) {
  const Bytes picture{1, 2, 3};
  const WindowDefinition d = Read(Minimal(
      nullptr, [&](Builder& b) { b.Raw("Picture", PictureValue(1 + 10 + 4 + 3, 3, picture)); }));
  EXPECT_EQ(d.image.picture.class_name, "TJPEGImage");
  EXPECT_EQ(d.image.picture.bytes, picture);
}

struct Malformed {
  const char* name;
  Bytes bytes;
  const char* message;  // a part of the exception's message
};

std::vector<Malformed> MalformedCases() {
  Bytes wrong_signature = Minimal();
  wrong_signature[3] = '2';
  Bytes trailing = Minimal();
  trailing.push_back(0);
  return {
      {"empty", {}, "unexpected end of data reading the signature at offset 0"},
      {"wrong signature", wrong_signature, "wrong signature at offset 0"},
      {"byte after the end", trailing, "bytes after the end of the objects"},
      {"no objects", Builder().End(), "no form"},
      {"no image", Builder().Object("TForm1", "Form1").End(), "no TImage component"},
      {"no application events",
       Builder().Object("TForm1", "Form1").Object("TImage", "Image1").End(),
       "no TApplicationEvents component"},
      {"second image",
       Builder()
           .Object("TForm1", "Form1")
           .Object("TImage", "Image1")
           .Object("TImage", "Image2")
           .End(),
       "unexpected TImage component Image2"},
      {"unknown component class",
       Builder().Object("TForm1", "Form1").Object("TButton", "Button1").End(),
       "unexpected TButton component Button1"},
      {"empty object name", Builder().Object("TForm1", "").End(), "empty object name"},
      {"unknown value type", Minimal([](Builder& b) { b.Raw("Left", {0x07, 0, 0, 0, 0}); }),
       "unknown value type 7"},
      {"bool other than 0 or 1",
       Minimal([](Builder& b) { b.Raw("OldCreateOrder", {0x04, 0x02}); }), "bool value 2"},
      {"wrong type for a property",
       Minimal([](Builder& b) { b.Ident("ClientWidth", "wide"); }),
       "property Form1.ClientWidth takes int32, not identifier"},
      {"unknown property", Minimal(nullptr, [](Builder& b) { b.Int("Angle", 90); }),
       "unknown property Image1.Angle"},
      {"property set twice", Minimal([](Builder& b) { b.Int("Left", 1).Int("Left", 2); }),
       "property Form1.Left set twice"},
      {"unknown enumeration value",
       Minimal([](Builder& b) { b.Ident("BorderStyle", "bsRound"); }),
       "unknown BorderStyle value 'bsRound'"},
      {"unknown set member",
       Minimal([](Builder& b) { b.Raw("Font.Style", {0x06, 1, 6, 'f', 's', 'B', 'l', 'u', 'e'}); }),
       "unknown Font.Style value 'fsBlue'"},
      {"string longer than the data",
       Minimal([](Builder& b) { b.Raw("Caption", {0x02, 0xFF, 0xFF, 0xFF, 0xFF, 'x'}); }),
       "unexpected end of data reading a string value"},
      {"binary longer than the data",
       Minimal(nullptr, [](Builder& b) { b.Raw("Picture", PictureValue(0xFFFFFFF0u, 0, {})); }),
       "unexpected end of data reading a binary value"},
      {"picture count beyond its binary",
       Minimal(nullptr,
               [](Builder& b) { b.Raw("Picture", PictureValue(1 + 10 + 4 + 2, 3, {1, 2})); }),
       "unexpected end of data reading the picture's bytes"},
      {"bytes after the picture",
       Minimal(nullptr,
               [](Builder& b) { b.Raw("Picture", PictureValue(1 + 10 + 4 + 3, 2, {1, 2, 3})); }),
       "bytes after the picture"},
  };
}

TEST(WindowDefinition, MalformedDefinitionsRaiseAClearError) {
  for (const Malformed& c : MalformedCases()) {
    // An exactly sized copy, so that a read past the end is a sanitizer finding.
    const Bytes bytes = c.bytes;
    try {
      Read(bytes);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const Exception& error) {
      const std::string message = error.Message();
      EXPECT_EQ(message.rfind("Invalid window definition: ", 0), 0u) << c.name << ": " << message;
      EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    }
  }
}

}  // namespace
