// Portable parts of the skin engine: colour model, description fields,
// window-shape runs, slider arithmetic and the Tab order.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "skin/HlsColor.h"
#include "skin/PictureCheck.h"
#include "skin/SkinDescription.h"
#include "skin/SkinGeometry.h"

namespace glyph::skin {
namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

TEST(HlsColor, ConvertsLikeTheSkinModel) {
  struct Case {
    std::uint32_t rgb;
    double hue, lightness, saturation;
  } cases[] = {
      {Rgb(255, 0, 0), 360, 0.5, 1},  // red is 360, not 0
      {Rgb(0, 255, 0), 120, 0.5, 1},
      {Rgb(0, 0, 255), 240, 0.5, 1},
      {Rgb(255, 255, 255), 0, 1, 0},
      {Rgb(0, 0, 0), 0, 0, 0},
      {Rgb(0, 255, 255), 180, 0.5, 1},  // green and blue share the maximum: blue's formula
      {Rgb(255, 255, 0), 60, 0.5, 1},   // red and green: green's formula
      {Rgb(64, 128, 192), 210, 128.0 / 255, 128.0 / 254},
  };
  for (const Case& c : cases) {
    CHlsColor h(c.rgb);
    EXPECT_DOUBLE_EQ(h.GetHue(), c.hue) << std::hex << c.rgb;
    EXPECT_DOUBLE_EQ(h.GetLightness(), c.lightness) << std::hex << c.rgb;
    EXPECT_NEAR(h.GetSaturation(), c.saturation, 1e-12) << std::hex << c.rgb;
  }
}

TEST(HlsColor, RoundTripsAndWrapsOnce) {
  for (std::uint32_t rgb : {Rgb(255, 255, 255), Rgb(255, 0, 0), Rgb(0, 0, 0), Rgb(12, 200, 77)}) {
    CHlsColor h(rgb);
    h.SetHls(h.GetHue(), h.GetLightness(), h.GetSaturation());
    const std::uint32_t back = h.GetRgb();
    // Truncation toward zero may lose one level per channel.
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR(static_cast<int>((back >> shift) & 0xFF), static_cast<int>((rgb >> shift) & 0xFF), 1)
          << std::hex << rgb;
    }
  }
  EXPECT_EQ(AdjustColorHls(Rgb(255, 255, 255), 0, 0, 0), Rgb(255, 255, 255));
  CHlsColor h(0);
  h.SetHls(-30, 2, -1);
  EXPECT_DOUBLE_EQ(h.GetHue(), 330);
  EXPECT_DOUBLE_EQ(h.GetLightness(), 1);
  EXPECT_DOUBLE_EQ(h.GetSaturation(), 0);
  h.SetHls(720, 0.5, 0.5);  // only one turn comes off
  EXPECT_DOUBLE_EQ(h.GetHue(), 360);
}

TEST(HlsColor, OffsetsOfTheSkinAdjustment) {
  const std::uint32_t colours[] = {Rgb(200, 40, 90), Rgb(10, 180, 250), Rgb(128, 128, 128)};
  for (std::uint32_t c : colours) {
    EXPECT_EQ(AdjustColorHls(c, 0, 1, 0), Rgb(255, 255, 255));  // lightness +1: white
    const std::uint32_t grey = AdjustColorHls(c, 0, 0, -1);     // saturation -1: grey
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
    EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
    CHlsColor a(c), b(AdjustColorHls(c, 360, 0, 0));
    EXPECT_NEAR(a.GetHue(), b.GetHue(), 1.5);  // a full turn keeps the hue
  }
}

TEST(SkinDescription, FieldsComeOffTheFront) {
  std::string v = " a , b,c";
  EXPECT_EQ(NextToken(v), " a ");  // blanks before the comma stay in the field
  EXPECT_EQ(v, "b,c");
  EXPECT_EQ(NextToken(v), "b");
  EXPECT_EQ(NextToken(v), "c");
  EXPECT_EQ(NextToken(v), "c");  // the last field repeats
  EXPECT_EQ(v, "c");

  struct Num {
    const char* text;
    int value;
  } nums[] = {{"010", 8},    {"0x10", 16},
              {"0X1f", 31},  {" -12", -12},
              {"12abc", 12}, {"", 0},
              {"abc", 0},    {"08", 0},
              {"+7", 7},     {"99999999999", 2147483647},
              {"-1", -1},    {"0xFFDDAA", 0xFFDDAA}};
  for (const Num& n : nums) EXPECT_EQ(ParseNumber(n.text), n.value) << n.text;

  std::string r = "010,0x10,3,4,rest";
  EXPECT_EQ(ParseRect(r), (SkinRect{8, 16, 11, 20}));
  EXPECT_EQ(r, "rest");
}

TEST(SkinDescription, EntriesOfEachSection) {
  ButtonEntry b = ParseButtonEntry("BUTTON_EXIT,362,11,24,20,Exit program,FALSE");
  EXPECT_EQ(b.name, "BUTTON_EXIT");
  EXPECT_EQ(b.rect, (SkinRect{362, 11, 386, 31}));
  EXPECT_EQ(b.tooltip, "Exit program");
  EXPECT_FALSE(b.toggle);
  EXPECT_TRUE(ParseButtonEntry("P,1,2,3,4,Pen,True").toggle);
  EXPECT_FALSE(ParseButtonEntry("P,1,2,3,4,Pen,").toggle);
  EXPECT_FALSE(ParseButtonEntry("P,1,2,3,4,Pen,yes").toggle);
  // Five fields: the tooltip and the flag repeat the height.
  b = ParseButtonEntry("A,1,2,3,4");
  EXPECT_EQ(b.rect, (SkinRect{1, 2, 4, 6}));
  EXPECT_EQ(b.tooltip, "4");
  EXPECT_FALSE(b.toggle);

  TrackbarEntry t = ParseTrackbarEntry(
      "TRACKBAR_TRANSP,horslider.bmp,horslider_over.bmp,97,350,90,12,H,0,256,0 %", "Skin\\");
  EXPECT_EQ(t.thumb, "Skin\\horslider.bmp");
  EXPECT_EQ(t.thumbHot, "Skin\\horslider_over.bmp");
  EXPECT_EQ(t.rect, (SkinRect{97, 350, 187, 362}));
  EXPECT_TRUE(t.horizontal);
  EXPECT_EQ(t.maximum, 256);
  EXPECT_EQ(t.tooltip, "0 %");
  t = ParseTrackbarEntry("T,a.bmp,b.bmp,1,2,3,4,V,5,100", "");
  EXPECT_FALSE(t.horizontal);
  EXPECT_EQ(t.position, 5);
  EXPECT_EQ(t.tooltip, "100");  // a missing tooltip repeats the maximum's text

  TextEntry x = ParseTextEntry("BRUSH_COLOR,Verdana,F,F,-14,0xFFDDAA,-1,202,332,90,65,");
  EXPECT_EQ(x.face, "Verdana");
  EXPECT_FALSE(x.bold);
  EXPECT_FALSE(x.italic);
  EXPECT_EQ(x.height, -14);
  EXPECT_EQ(x.color1, 0xFFDDAAu);
  EXPECT_EQ(x.color2, -1);
  EXPECT_EQ(x.rect, (SkinRect{202, 332, 292, 397}));
  EXPECT_EQ(x.text, "");
  x = ParseTextEntry("N,Arial,TRUE,,12,255,0,1,2,3,4,Hello,x");
  EXPECT_TRUE(x.bold);
  EXPECT_TRUE(x.italic);  // an empty italic flag means italic
  EXPECT_EQ(x.text, "Hello");

  ProgressEntry p = ParseProgressEntry("P,Volume,1,2,30,40,Horizontal");
  EXPECT_EQ(p.tooltip, "Volume");
  EXPECT_TRUE(p.alongHeight);
  EXPECT_FALSE(ParseProgressEntry("P,Volume,1,2,30,40,W").alongHeight);
}

TEST(SkinDescription, ReadsSectionsUntilTheFirstGap) {
  std::map<std::pair<std::string, std::string>, std::string> values = {
      {{"Screen", "Main"}, "main.jpg"},
      {{"Screen", "Over"}, "over.jpg"},
      {{"BUTTONINFO", "1"}, "A,1,2,3,4,a,F"},
      {{"BUTTONINFO", "2"}, "B,1,2,3,4,b,F"},
      {{"BUTTONINFO", "4"}, "D,1,2,3,4,d,F"},
      {{"TRACKBARINFO", "1"}, "T,t.bmp,th.bmp,1,2,3,4,H,0,10,tip"},
      {{"PROGRESSINFO", "2"}, "P,tip,1,2,3,4,H"},
  };
  auto lookup = [&values](const char* s, const char* k, const char* def) {
    auto it = values.find({s, k});
    return it == values.end() ? std::string(def) : it->second;
  };
  const SkinDescription d = ReadSkinDescription(lookup, "Skin\\skin.ini");
  EXPECT_EQ(d.screen.main, "Skin\\main.jpg");
  EXPECT_EQ(d.screen.mask, "Skin\\main.jpg");  // Mask, Down, Disabled default to Main
  EXPECT_EQ(d.screen.over, "Skin\\over.jpg");
  EXPECT_EQ(d.screen.disabled, "Skin\\main.jpg");
  ASSERT_EQ(d.buttons.size(), 2u);  // key 3 is missing: key 4 is never read
  EXPECT_EQ(d.buttons[1].name, "B");
  ASSERT_EQ(d.trackbars.size(), 1u);
  EXPECT_EQ(d.trackbars[0].thumb, "Skin\\t.bmp");
  EXPECT_TRUE(d.progress.empty());  // numbering starts at 1
  EXPECT_TRUE(d.texts.empty());

  const SkinDescription bare = ReadSkinDescription(lookup, "skin.ini");
  EXPECT_EQ(bare.screen.main, "main.jpg");
  const SkinDescription empty = ReadSkinDescription(
      [](const char*, const char*, const char* def) { return std::string(def); }, "Skin\\x.ini");
  EXPECT_EQ(empty.screen.main, "");  // no value names no picture
  EXPECT_TRUE(empty.buttons.empty());
}

TEST(SkinDescription, PicturesUsedTwice) {
  SkinDescription d;
  d.screen = {"S\\main.jpg", "S\\mask.bmp", "S\\over.jpg", "S\\down.jpg", "S\\main.jpg"};
  TrackbarEntry t;
  t.thumb = "S\\thumb.bmp";
  t.thumbHot = "S\\hot.bmp";
  d.trackbars = {t, t};
  d.trackbars[1].thumbHot = "S\\other.bmp";
  EXPECT_EQ(RepeatedPictures(d), (std::set<std::string>{"S\\main.jpg", "S\\thumb.bmp"}));
  EXPECT_TRUE(RepeatedPictures(SkinDescription{}).empty());  // empty names never count
}

TEST(SkinDescription, LongEntriesAreCut) {
  std::string longTip(400, 'x');
  std::map<std::string, std::string> values = {{"1", "A,1,2,3,4," + longTip + ",TRUE"}};
  auto lookup = [&values](const char* s, const char* k, const char* def) {
    auto it = values.find(k);
    return std::string(s) == "BUTTONINFO" && it != values.end() ? it->second : std::string(def);
  };
  const SkinDescription d = ReadSkinDescription(lookup, "");
  ASSERT_EQ(d.buttons.size(), 1u);
  EXPECT_EQ(d.buttons[0].tooltip.size(), kMaxEntryLength - 10);
  EXPECT_FALSE(d.buttons[0].toggle);  // the flag was beyond the cut: it repeats the tooltip
}

std::vector<SkinRect> Runs(const std::vector<std::uint32_t>& px, int w, int h, std::uint32_t transparent,
                           std::uint32_t tolerance) {
  std::vector<SkinRect> out;
  ScanOpaqueRuns(px.data(), w, h, static_cast<std::size_t>(w), transparent, tolerance,
                 [&out](int l, int y, int r) {
                   out.push_back(SkinRect{l, y, r, y + 1});
                 });
  return out;
}

TEST(SkinGeometry, OpaqueRunsOfAMask) {
  const std::uint32_t W = 0xFFFFFF, B = 0;
  EXPECT_EQ(Runs({W, B, B, W, B}, 5, 1, 0xFFFFFFFF, 0x101010),
            (std::vector<SkinRect>{{1, 0, 3, 1}, {4, 0, 5, 1}}));
  EXPECT_TRUE(Runs({W, W, W, W}, 2, 2, 0xFFFFFFFF, 0x101010).empty());
  EXPECT_EQ(Runs({B, B, B, B}, 2, 2, 0xFFFFFFFF, 0x101010),
            (std::vector<SkinRect>{{0, 0, 2, 1}, {0, 1, 2, 2}}));
  // Almost white is opaque with the mask's range; a tolerance widens it.
  EXPECT_EQ(Runs({0xFEFFFF}, 1, 1, 0xFFFFFFFF, 0x101010).size(), 1u);
  EXPECT_TRUE(Runs({0x102030}, 1, 1, Rgb(0x10, 0x20, 0x30), 0).empty());
  EXPECT_TRUE(Runs({0x152535}, 1, 1, Rgb(0x10, 0x20, 0x30), 0x050505).empty());
  // Pixels are 0x00RRGGBB, colours 0x00BBGGRR: pure red against a red key.
  EXPECT_TRUE(Runs({0xFF0000}, 1, 1, Rgb(255, 0, 0), 0).empty());
  EXPECT_EQ(Runs({0x0000FF}, 1, 1, Rgb(255, 0, 0), 0).size(), 1u);
}

TEST(SkinGeometry, ThumbPlaceAndDrag) {
  SliderGeometry g;
  g.thumbWidth = 10;
  g.thumbHeight = 12;
  g.clientWidth = 100;
  g.clientHeight = 12;
  g.maximum = 100;
  EXPECT_EQ(ThumbRect(g, 50), (SkinRect{45, 0, 55, 12}));
  EXPECT_EQ(ThumbRect(g, 100).left, 90);
  EXPECT_EQ(PositionFromPointer(g, -40, 0), 0);    // pinned at the start
  EXPECT_EQ(PositionFromPointer(g, 500, 0), 100);  // and at the end
  EXPECT_EQ(PositionFromPointer(g, 50, 0), 50);

  SliderGeometry v = g;
  v.horizontal = false;
  v.thumbWidth = 12;
  v.thumbHeight = 10;
  v.clientWidth = 12;
  v.clientHeight = 100;
  EXPECT_EQ(ThumbRect(v, 50), (SkinRect{0, 45, 12, 55}));
  EXPECT_EQ(PositionFromPointer(v, 0, 95), 100);
  EXPECT_EQ(PositionFromPointer(v, 0, 200), 216);  // the control clamps vertical positions

  SliderGeometry broken = g;
  broken.maximum = 0;  // an empty range must not divide by zero
  EXPECT_EQ(ThumbRect(broken, 5).left, 0);
  broken.thumbWidth = 100;
  EXPECT_EQ(PositionFromPointer(broken, 50, 0), 0);

  EXPECT_EQ(PercentAt(50, 200), 25);
  EXPECT_EQ(PercentAt(10, 0), 0);
}

// A 24-bit bitmap file of w x h pixels (rows padded to 4 bytes).
std::string Bmp24(int w, int h, int headerSize = 40) {
  const int stride = (w * 3 + 3) & ~3;
  std::string b(14 + headerSize + stride * h, '\0');
  auto put = [&b](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, static_cast<std::uint32_t>(b.size()), 4);
  put(10, static_cast<std::uint32_t>(14 + headerSize), 4);
  put(14, static_cast<std::uint32_t>(headerSize), 4);
  if (headerSize == 12) {
    put(18, w, 2);
    put(20, h, 2);
    put(22, 1, 2);
    put(24, 24, 2);
  } else {
    put(18, w, 4);
    put(22, h, 4);
    put(26, 1, 2);
    put(28, 24, 2);
  }
  return b;
}

// The default skin's controls (x, y, width, height as its description
// gives them) come in reading order: title buttons, the tool column pair
// by pair, then the strip of colour fields and sliders left to right.
TEST(SkinGeometry, ReadingOrderOfTheDefaultSkin) {
  const std::vector<std::pair<std::string, SkinRect>> controls = {
      {"EXIT", {442, 11, 24, 20}},    {"MIN", {409, 11, 24, 20}},      {"HELP", {375, 11, 25, 20}},
      {"LOAD", {13, 40, 73, 33}},     {"SAVE", {13, 74, 73, 30}},      {"UNDO", {13, 103, 36, 34}},
      {"CAMERA", {49, 103, 36, 34}},  {"PEN", {13, 137, 36, 34}},      {"LINE", {49, 137, 36, 34}},
      {"CLEAR", {13, 311, 36, 35}},   {"BLUR_ALL", {49, 311, 36, 35}}, {"BRUSH", {202, 332, 90, 65}},
      {"TRANSP", {300, 332, 90, 65}}, {"PREVIEW", {11, 355, 75, 38}},  {"OPACITY", {97, 350, 90, 12}},
      {"SIZE", {97, 383, 90, 12}},
  };
  std::vector<SkinRect> rects;
  for (const auto& [name, r] : controls) rects.push_back({r.left, r.top, r.left + r.right, r.top + r.bottom});
  std::vector<std::string> order;
  for (std::size_t i : ReadingOrder(rects)) order.push_back(controls[i].first);
  EXPECT_EQ(order,
            (std::vector<std::string>{"HELP", "MIN", "EXIT", "LOAD", "SAVE", "UNDO", "CAMERA", "PEN", "LINE",
                                      "CLEAR", "BLUR_ALL", "PREVIEW", "OPACITY", "SIZE", "BRUSH", "TRANSP"}));
  EXPECT_TRUE(ReadingOrder({}).empty());
}

TEST(SkinGeometry, LongestIncreasingRun) {
  EXPECT_EQ(LongestIncreasing({3, 1, 2, 9, 4, 5}), (std::vector<bool>{false, true, true, false, true, true}));
  EXPECT_EQ(LongestIncreasing({0, 1, 2}), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(LongestIncreasing({}), std::vector<bool>{});
}

// The scales Windows offers map to the drawn art and to pixel lengths that
// keep neighbouring controls touching.
TEST(SkinGeometry, DisplayScales) {
  const struct {
    int dpi, scale, art;
  } kScales[] = {{96, 100, 100},  {0, 100, 100},   {72, 75, 100},   {120, 125, 150},
                 {144, 150, 150}, {168, 175, 200}, {192, 200, 200}, {288, 300, 200}};
  for (const auto& c : kScales) {
    EXPECT_EQ(ScaleForDpi(c.dpi), c.scale) << c.dpi;
    EXPECT_EQ(ArtScaleFor(c.scale), c.art) << c.dpi;
  }
  // Two buttons side by side at 13..49 and 49..85 stay side by side.
  EXPECT_EQ(ScaleRect({13, 103, 49, 137}, 150), (SkinRect{20, 155, 74, 206}));
  EXPECT_EQ(ScaleRect({49, 103, 85, 137}, 150).left, 74);
  EXPECT_EQ(ScaleLength(-14, 150), -21);
  EXPECT_EQ(ScaleLength(-13, 150), -20);
  EXPECT_EQ(ScaleLength(13, 150), 20);

  EXPECT_EQ(ScaledPictureName("main.jpg", 100), "main.jpg");
  EXPECT_EQ(ScaledPictureName("main.jpg", 150), "main@1.5x.jpg");
  EXPECT_EQ(ScaledPictureName("Skin\\horslider_over.bmp", 200), "Skin\\horslider_over@2x.bmp");
  EXPECT_EQ(ScaledPictureName("my.skin\\mask", 200), "my.skin\\mask@2x");
  EXPECT_EQ(ScaledPictureName("", 200), "");
}

TEST(PictureCheck, RefusesBitmapsThatPromiseMoreThanTheyHold) {
  const std::string good = Bmp24(10, 10);
  EXPECT_TRUE(PictureBytesPlausible(good));
  EXPECT_TRUE(PictureBytesPlausible(Bmp24(3, 2, 12)));
  EXPECT_FALSE(PictureBytesPlausible(""));
  EXPECT_FALSE(PictureBytesPlausible("BM"));
  EXPECT_FALSE(PictureBytesPlausible(good.substr(0, 30)));               // header cut
  EXPECT_FALSE(PictureBytesPlausible(good.substr(0, good.size() - 1)));  // pixels cut
  std::string bad = good;
  bad[10] = '\x7F';  // pixels said to start past the end
  EXPECT_FALSE(PictureBytesPlausible(bad));
  bad = good;
  bad[28] = 7;  // no such bit count
  EXPECT_FALSE(PictureBytesPlausible(bad));
  bad = good;
  bad[22] = bad[23] = bad[24] = bad[25] = '\xFF';  // height -1: one top-down row
  EXPECT_TRUE(PictureBytesPlausible(bad));
  bad[18] = 0;  // width 0
  EXPECT_FALSE(PictureBytesPlausible(bad));
  EXPECT_TRUE(PictureBytesPlausible("\xFF\xD8\xFF\xE0 JPEG is the decoder's business"));
  EXPECT_TRUE(PictureBytesPlausible("GIF89a"));
}

}  // namespace
}  // namespace glyph::skin
