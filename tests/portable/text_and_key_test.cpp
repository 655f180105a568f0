#include <gtest/gtest.h>

#include "window_rules/app_title.h"
#include "catalogue/entry_key.h"
#include "base/failure.h"
#include "base/text.h"
#include "base/twips.h"

namespace ostrevane {
namespace {

TEST(TextTest, PortableLowerMapsLettersBeyondBasicLatin) {
  EXPECT_EQ(Lower(u"ÉÄÖÜ ÀÞ × Ÿ"), u"éäöü àþ × ÿ");
  EXPECT_EQ(Lower(u"ДЖЁЯ Ўс"), u"джёя ўс");
  EXPECT_EQ(Lower(u"ΣΑΒΓ Ά Ώ"), u"σαβγ ά ώ");
  EXPECT_EQ(Lower(u"ĀĹŽĲ ı"), u"āĺžĳ ı");
  EXPECT_EQ(Lower(u"Game.LNK 123 _-"), u"game.lnk 123 _-");
}

TEST(TextTest, Utf8RoundTripKeepsPairsAndReplacesLoneSurrogates) {
  const Text text = u"a\u00e9\u0434\u4e2d\U0001F600z";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  const Text lone = {u'x', static_cast<char16_t>(0xD800), u'y'};
  EXPECT_EQ(FromUtf8(ToUtf8(lone)), u"x\uFFFDy");
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(32768), u"32768");
}

TEST(TextTest, PathsSplitAtTheirLastSeparatorOfEitherKind) {
  EXPECT_EQ(FolderPart(u"C:\\Program Files\\x/o.cjs"), u"C:\\Program Files\\x");
  EXPECT_EQ(NamePart(u"C:\\Program Files\\x/o.cjs"), u"o.cjs");
  EXPECT_EQ(FolderPart(u"Z:/a\\b"), u"Z:/a");
  EXPECT_EQ(NamePart(u"Z:/a\\b"), u"b");
  EXPECT_EQ(FolderPart(u"name.lnk"), u"");  // no separator: no folder
  EXPECT_EQ(NamePart(u"name.lnk"), u"name.lnk");
  EXPECT_EQ(FolderPart(u"C:\\"), u"C:");  // a trailing separator: no name
  EXPECT_EQ(NamePart(u"C:\\"), u"");
}

TEST(TwipsTest, ConversionsRoundToTheNearestWholeUnitHalvesAwayFromZero) {
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);    // 0.47 px
  EXPECT_EQ(TwipsToPixels(8, 96), 1);    // 0.53 px
  EXPECT_EQ(TwipsToPixels(15, 144), 2);  // 1.5 px rounds up
  EXPECT_EQ(TwipsToPixels(-15, 144), -2);
  EXPECT_EQ(PixelsToTwips(96, 96), 1440);
  EXPECT_EQ(PixelsToTwips(1, 144), 10);
  EXPECT_EQ(PixelsToTwips(1, 120), 12);
  EXPECT_EQ(PixelsToTwips(7, 288), 35);  // 35 exactly
  EXPECT_EQ(PixelsToTwips(1, 2880), 1);  // 0.5 twip rounds up
  EXPECT_EQ(WholeTwips(6000.0), 6000);
  EXPECT_EQ(WholeTwips(999.5), 1000);
  EXPECT_EQ(ScaleFromDefaultDpi(4, 96), 4);
  EXPECT_EQ(ScaleFromDefaultDpi(4, 144), 6);
  EXPECT_EQ(ScaleFromDefaultDpi(3, 120), 4);  // 3.75
  EXPECT_EQ(ScaleFromDefaultDpi(2, 120), 3);  // 2.5 rounds up
}

TEST(EntryKeyTest, OnlyAnExactCSelectsTheCurrentUser) {
  EXPECT_EQ(MakeEntryKey(Root::kCurrentUser, u"Games"), u"CGames");
  EXPECT_EQ(MakeEntryKey(Root::kAllUsers, u"Games.lnk"), u"AGames.lnk");

  const DecodedKey current = DecodeEntryKey(u"CGames");
  EXPECT_EQ(current.root, Root::kCurrentUser);
  EXPECT_EQ(current.csidl, 2);
  EXPECT_EQ(current.relative_name, u"Games");
  EXPECT_EQ(DecodeEntryKey(u"CДом").relative_name, u"Дом");

  for (const char16_t* key : {u"AGames", u"cGames", u"XGames", u"ĆGames"}) {
    const DecodedKey all = DecodeEntryKey(key);
    EXPECT_EQ(all.root, Root::kAllUsers) << ToUtf8(key);
    EXPECT_EQ(all.csidl, 23);
    EXPECT_EQ(all.relative_name, u"Games");
  }
  EXPECT_EQ(DecodeEntryKey(u"C").relative_name, u"");
  EXPECT_EQ(DecodeEntryKey(u"").relative_name, u"");
}

TEST(AppTitleTest, CutsAtLeastOnceAndAgainWhileTooLong) {
  EXPECT_EQ(CutAppTitle(u"Ostrevane Software"), u"Ostrevane");
  EXPECT_EQ(CutAppTitle(u"A B C"), u"A B");
  // 45 characters before the last blank: cut again to fit 40.
  const Text long_name = Text(30, u'x') + u" " + Text(14, u'y') + u" tail";
  EXPECT_EQ(CutAppTitle(long_name), Text(30, u'x'));
  EXPECT_THROW(CutAppTitle(u"Ostrevane"), Failure);
  EXPECT_THROW(CutAppTitle(Text(50, u'z') + u" end"), Failure);  // no blank in what is left
}

}  // namespace
}  // namespace ostrevane
