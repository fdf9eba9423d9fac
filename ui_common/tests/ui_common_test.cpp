// The text codec and the dialog-unit conversion that the Qt and the Windows
// front ends share.
#include <gtest/gtest.h>

#include "ui_common/dialog_units.h"
#include "ui_common/text_codec.h"

namespace uicommon {
namespace {

TEST(TextCodec, EveryByteAndLineBreakConvertsBothWays) {
  struct Case {
    const char* name;
    std::string latin1;    // as the programs hold it
    std::u16string lf;     // as a Qt widget holds it
    std::u16string crlf;   // as a Windows control holds it
  };
  const Case cases[] = {
      {"every byte is its own character", "caf\xE9 \xFF\x80", u"caf\u00E9 \u00FF\u0080",
       u"caf\u00E9 \u00FF\u0080"},
      {"CR LF is one line break", "a\r\nb", u"a\nb", u"a\r\nb"},
      {"empty", "", u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FromLatin1(c.latin1, LineBreak::Lf), c.lf);
    EXPECT_EQ(FromLatin1(c.latin1, LineBreak::CrLf), c.crlf);
    for (const std::u16string& shown : {c.lf, c.crlf}) {
      bool lossless = false;
      EXPECT_EQ(ToLatin1(shown, &lossless), c.latin1);
      EXPECT_TRUE(lossless);
    }
  }
  // A CR or an LF alone is a line break too; so are the separators that
  // Shift+Enter inserts.
  EXPECT_EQ(FromLatin1("a\nb\rc", LineBreak::CrLf), u"a\r\nb\r\nc");
  EXPECT_EQ(FromLatin1("a\nb\rc", LineBreak::Lf), u"a\nb\nc");
  EXPECT_EQ(ToLatin1(u"a\nb\u2028c\u2029d\re"), "a\r\nb\r\nc\r\nd\r\ne");
}

TEST(TextCodec, ACharacterBeyondLatin1IsOneQuestionMark) {
  struct Case {
    const char* name;
    std::u16string shown;
    std::string latin1;
  };
  const Case cases[] = {
      {"in the basic plane", u"5 \u20AC", "5 ?"},
      {"a surrogate pair", u"A\U0001F600B", "A?B"},
      {"a surrogate alone", std::u16string(u"x") + char16_t(0xD800) + u"y", "x?y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool lossless = true;
    EXPECT_EQ(ToLatin1(c.shown, &lossless), c.latin1);
    EXPECT_FALSE(lossless);
  }
}

TEST(DialogUnits, ScaleByTheFontsBaseUnitsRoundedToTheNearestPixel) {
  // The 52 letters of MS Sans Serif 8 are 312 pixels wide, its lines 13 high.
  const DialogBaseUnits base = BaseUnitsOf(312, 13);
  EXPECT_EQ(base.x, 6);
  EXPECT_EQ(base.y, 13);
  EXPECT_EQ(BaseUnitsOf(338, 16).x, 7);  // 13 per letter pair, halved upwards
  EXPECT_EQ(BaseUnitsOf(0, 0).x, 1);     // never zero
  EXPECT_EQ(BaseUnitsOf(0, 0).y, 1);
  struct Case {
    int units, horizontal, vertical;
  };
  const Case cases[] = {{0, 0, 0}, {4, 6, 7}, {351, 527, 570}, {290, 435, 471}, {1, 2, 2}, {3, 5, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    EXPECT_EQ(HorizontalPixels(c.units, base), c.horizontal);
    EXPECT_EQ(VerticalPixels(c.units, base), c.vertical);
  }
}

}  // namespace
}  // namespace uicommon
