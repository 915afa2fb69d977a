#include <array>

#include "device3d_fixture.h"

namespace {

using namespace platform::video;
using platform::video3d::Config3D;
using TexturePartTest = Direct3DGraphicsTest;

std::vector<int> Split(int n, int single) {
  int list[32];
  const int count = SplitTextureSizes(n, list, single);
  return count < 0 ? std::vector<int>{} : std::vector<int>(list, list + count);
}

struct PartShape {
  int x, y, width, height, texture_width, texture_height;
  bool operator==(const PartShape&) const = default;
};

std::vector<PartShape> Shapes(int graphic) {
  std::vector<PartShape> out;
  const GraphicRecord* g = GetGraphicRecord(graphic);
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    const SurfaceRecord* r = GetSurfaceRecord(p->texture);
    out.push_back({p->x, p->y, p->width, p->height, r->width, r->height});
  }
  return out;
}

TEST_F(TexturePartTest, SizesSplitIntoPowersOfTwo) {
  StartGame();
  struct Case {
    int n, single;
    std::vector<int> sizes;
  } cases[] = {
      {480, 0, {512}},       {640, 0, {512, 128}},  {100, 0, {64, 64}},
      {200, 0, {128, 64, 32}}, {24, 0, {32}},       {1, 0, {1}},
      {640, 1, {1024}},      {480, 1, {512}},       {2000, 0, {1024, 1024}},
  };
  for (const Case& c : cases) EXPECT_EQ(Split(c.n, c.single), c.sizes) << c.n << " " << c.single;
}

TEST_F(TexturePartTest, GraphicsAreTiledAndSquareOnlyDevicesGetSquares) {
  Config3D().available = true;
  for (bool square : {false, true}) {
    SCOPED_TRACE(square ? "square only" : "any shape");
    if (square) Config3D().devices[2].texture_caps |= platform::video3d::kTexCapsSquareOnly;
    StartGame();
    const int g = MakeGraphic(640, 480, 1, 0);
    std::vector<PartShape> expected = {{0, 0, 512, 480, 512, 512}};
    if (square) {
      for (int y = 0; y < 512; y += 128) {
        expected.push_back({512, y, 128, y == 384 ? 96 : 128, 128, 128});
      }
    } else {
      expected.push_back({512, 0, 128, 480, 128, 512});
    }
    EXPECT_EQ(Shapes(g), expected);
    const TexturePartRecord* first = GetTexturePartRecord(GetGraphicRecord(g)->parts[0]);
    EXPECT_FLOAT_EQ(first->vertices[3].u, 1.0f);
    EXPECT_FLOAT_EQ(first->vertices[3].v, 480.0f / 512.0f);
    StopDirectDraw();
  }
}

TEST_F(TexturePartTest, CutOutsShareTheTexturesOfTheirParent) {
  StartGame();
  // The fonts' cache textures are there from the start.
  const int fonts_textures = SurfaceRecordTable().count();
  const int fonts_parts = TexturePartTable().count();
  const int sheet = MakeGraphic(256, 256, 1, 0);
  const int cut = MakeSubGraphicBody(8, 16, 32, 24, sheet);
  const int inner = MakeSubGraphicBody(4, 2, 8, 8, cut);
  const TexturePartRecord* s = GetTexturePartRecord(GetGraphicRecord(sheet)->parts[0]);
  const TexturePartRecord* c = GetTexturePartRecord(GetGraphicRecord(cut)->parts[0]);
  const TexturePartRecord* i = GetTexturePartRecord(GetGraphicRecord(inner)->parts[0]);
  EXPECT_EQ(c->texture, s->texture);
  EXPECT_EQ(i->texture, s->texture);
  EXPECT_EQ(GetSurfaceRecord(s->texture)->reference_count, 3);
  EXPECT_EQ(c->texture_x, 8);
  EXPECT_EQ(c->texture_y, 16);
  EXPECT_FLOAT_EQ(c->vertices[0].u, 8.0f / 256);
  EXPECT_FLOAT_EQ(c->vertices[3].v, 40.0f / 256);
  // A cut-out of a cut-out counts from where its parent sits in the texture.
  EXPECT_EQ(i->texture_x, 12);
  EXPECT_EQ(i->texture_y, 18);
  EXPECT_EQ(DeleteGraphic(sheet, 0), 0);
  EXPECT_EQ(GetSurfaceRecord(c->texture)->reference_count, 2);
  DeleteGraphic(cut, 0);
  DeleteGraphic(inner, 0);
  EXPECT_EQ(SurfaceRecordTable().count(), fonts_textures);
  EXPECT_EQ(TexturePartTable().count(), fonts_parts);
  EXPECT_EQ(TexturePartTable().bound(), fonts_parts);
}

TEST_F(TexturePartTest, CutOutsOfTiledGraphicsTakeOneOverlapPerPart) {
  StartGame();
  const int wide = MakeGraphic(640, 100, 1, 0);  // columns 512 + 128, rows 64 + 64
  const int cut = MakeSubGraphicBody(500, 60, 40, 10, wide);
  const GraphicRecord* g = GetGraphicRecord(cut);
  ASSERT_EQ(g->part_count, 4);
  std::vector<std::array<int, 4>> got;
  for (int k = 0; k < 4; ++k) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[k]);
    got.push_back({p->x, p->y, p->texture_x, p->texture_y});
  }
  const std::vector<std::array<int, 4>> expected = {
      {0, 0, 500, 60}, {12, 0, 0, 60}, {0, 4, 500, 0}, {12, 4, 0, 0}};
  EXPECT_EQ(got, expected);
}

TEST_F(TexturePartTest, UploadsLandInEachPartAtItsOwnPlace) {
  StartGame(32);
  auto image = MakeImage(640, 480, [](int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>((x & 255) << 16 | (y & 255) << 8 | (x >> 8));
  });
  const int g = Load(*image);
  const GraphicRecord* rec = GetGraphicRecord(g);
  auto texel = [&](int part, int x, int y) {
    const TexturePartRecord* p = GetTexturePartRecord(rec->parts[part]);
    return GetSurfaceRecord(p->texture)->surface->ReadPixel(x, y) & 0xFFFFFFu;
  };
  EXPECT_EQ(texel(0, 511, 479), (255u << 16) | (223u << 8) | 1u);
  EXPECT_EQ(texel(1, 0, 0), 2u);            // image x 512
  EXPECT_EQ(texel(1, 127, 10), (127u << 16) | (10u << 8) | 2u);
  // A rectangle upload touches only what it overlaps.
  auto patch = MakeImage(4, 4, [](int, int) { return 0xFF00FF00u; });
  ASSERT_EQ(UploadImageRectToTextureParts(UploadSourceSet{0, nullptr, nullptr, 0, &patch->record,
                                                          nullptr},
                                          Rect{0, 0, 4, 4}, 510, 0, g),
            0);
  EXPECT_EQ(texel(0, 511, 0), 0x00FF00u);
  EXPECT_EQ(texel(1, 1, 3), 0x00FF00u);
  EXPECT_EQ(texel(1, 2, 0), (2u << 16) | 2u);
  // A source too small for the part is refused.
  auto small = MakeImage(8, 8, [](int, int) { return 0u; });
  EXPECT_EQ(UploadImagesToGraphic(0, 0, 0, "small", 0, &small->record, nullptr, 0, 0, g, 0), -1);
}

}  // namespace
