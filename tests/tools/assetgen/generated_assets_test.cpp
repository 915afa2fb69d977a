// Checks the files the generator writes, as the game will read them. The
// run directory is generated once per build (the manifest makes later
// test processes find it up to date) and shared by these tests.
#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "art.h"
#include "canvas.h"
#include "music.h"
#include "run_dir.h"
#include "shell/sheet_layout.h"
#include "sound_effects.h"
#include "synth.h"
#include "version.h"

namespace {

namespace fs = std::filesystem;

const fs::path& RunDir() {
  static const fs::path dir = [] {
    fs::path d = fs::current_path() / "assetgen_run";
    GenerateReport r = GenerateRunDirectory(d.string(), AllOutputs(), GeneratorStamp());
    EXPECT_EQ(r.failed, 0);
    EXPECT_EQ(r.kept, 0) << "something other than the generator wrote into " << d;
    return d;
  }();
  return dir;
}

std::vector<uint8_t> Load(const std::string& relative) {
  std::ifstream in(RunDir() / relative, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Picture LoadPicture(const SheetLayout& sheet) {
  Picture p;
  EXPECT_TRUE(DecodePng(Load(sheet.path), &p)) << sheet.path;
  return p;
}

bool IsKey(const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }
int Top(const uint8_t* p) { return std::max({p[0], p[1], p[2]}); }

TEST(GeneratedPictures, EverySheetDecodesAtItsLayoutSizeAndKeepsTheBlackKeyRule) {
  for (const SheetLayout* sheet : AllSheets()) {
    SCOPED_TRACE(sheet->path);
    Picture p = LoadPicture(*sheet);
    ASSERT_EQ(p.width, sheet->width);
    ASSERT_EQ(p.height, sheet->height);
    // Every pixel is either the key, exactly black, or bright enough not
    // to pack to 0 on a 5-6-5 screen.
    int dim = 0;
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const uint8_t* px = p.At(x, y);
        if (!IsKey(px) && Top(px) < kMinVisible) ++dim;
      }
    }
    EXPECT_EQ(dim, 0);
  }
}

TEST(GeneratedPictures, NoAlphaCompanionIsWritten) {
  for (const OutputFile& out : AllOutputs()) {
    EXPECT_EQ(out.path.find("_a.dat"), std::string::npos) << out.path;
  }
}

TEST(GeneratedPictures, EveryCellOfAReasonableSizeHoldsSomething) {
  // Thin strips are slices of a larger picture and may be blank between
  // letters; everything else must draw something.
  for (const SheetLayout* sheet : AllSheets()) {
    Picture p = LoadPicture(*sheet);
    for (int i = 0; i < CellCount(*sheet); ++i) {
      CellRect c = CellOfSheet(*sheet, i);
      if (c.width < 4 || c.height < 4 || c.y < 0) continue;
      int ink = 0;
      for (int y = c.y; y < c.y + c.height; ++y)
        for (int x = c.x; x < c.x + c.width; ++x) ink += !IsKey(p.At(x, y));
      EXPECT_GT(ink, 0) << sheet->path << " cell " << i;
    }
  }
}

TEST(GeneratedPictures, WallCentreIsTransparentAndItsPanelsHideWhatIsBehind) {
  Picture p = LoadPicture(kSheetWall);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      bool centre = x >= 140 && x <= 499;
      ASSERT_EQ(IsKey(p.At(x, y)), centre) << "at " << x << "," << y;
    }
  }
}

TEST(GeneratedPictures, StageTilesAreOpaqueAndRepeatWithoutASeam) {
  for (const SheetLayout* tile : {&kSheetStage10, &kSheetStage20, &kSheetStage30, &kSheetStage40,
                                  &kSheetStage50, &kSheetStage60}) {
    SCOPED_TRACE(tile->path);
    Picture p = LoadPicture(*tile);
    // The jump from the last row to the first must look like any step
    // between neighbouring rows.
    auto row_step = [&](int a, int b) {
      double sum = 0;
      for (int x = 0; x < p.width; ++x)
        for (int k = 0; k < 3; ++k) sum += std::abs(p.At(x, a)[k] - p.At(x, b)[k]);
      return sum / (p.width * 3);
    };
    double typical = 0;
    for (int y = 0; y + 1 < p.height; ++y) typical = std::max(typical, row_step(y, y + 1));
    EXPECT_LE(row_step(p.height - 1, 0), typical * 1.5 + 1.0);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) ASSERT_FALSE(IsKey(p.At(x, y)));
  }
}

TEST(GeneratedPictures, MapPiecesLetTheTileLayerShowThrough) {
  for (const SheetLayout* map :
       {&kSheetStage11, &kSheetStage21, &kSheetStage22, &kSheetStage31, &kSheetStage32,
        &kSheetStage41, &kSheetStage42, &kSheetStage51, &kSheetStage52, &kSheetStage53}) {
    Picture p = LoadPicture(*map);
    for (int i = 0; i < CellCount(*map); ++i) {
      CellRect c = CellOfSheet(*map, i);
      if (c.y < 0) continue;
      int clear = 0;
      for (int y = c.y; y < c.y + c.height; ++y)
        for (int x = 0; x < c.width; ++x) clear += IsKey(p.At(x, y));
      EXPECT_GT(clear, c.width * c.height / 3) << map->path << " piece " << i;
    }
  }
}

TEST(GeneratedPictures, PicturesLeaveRoomForWhatTheGameDrawsAcrossThem) {
  // Each area is transparent in the picture because the game shows
  // something there through it: drawn before it, under it, or beside it.
  struct Room {
    const SheetLayout* sheet;
    int run;
    CellRect area;  // within the run's first cell
    const char* why;
  };
  const Room rooms[] = {
      {&kSheetEtc1, 9, {18, 2, 324, 16}, "the boss gauge's bar, drawn before the plate"},
      {&kSheetReplayBack, 0, {108, 24, 144, 24}, "REPLAY MODE, written before the panel"},
      {&kSheetCharB1, 0, {0, 0, 360, 90}, "the fighter select's title plate"},
      {&kSheetCharB4, 0, {0, 0, 360, 90}, "the fighter select's title plate"},
      {&kSheetGameOver, 1, {0, 0, 256, 26}, "the GAME OVER logo under the caption"},
      {&kSheetStart, 0, {0, 0, 26, 16}, "the ranking's fighter icon under AUTO GUARD"},
  };
  for (const Room& room : rooms) {
    SCOPED_TRACE(std::string(room.sheet->path) + ": " + room.why);
    const Picture p = LoadPicture(*room.sheet);
    const CellRect cell = CellOfRun(room.sheet->runs[room.run], 0);
    int ink = 0;
    for (int y = room.area.y; y < room.area.y + room.area.height; ++y) {
      for (int x = room.area.x; x < room.area.x + room.area.width; ++x) {
        ink += !IsKey(p.At(cell.x + x, cell.y + y));
      }
    }
    EXPECT_EQ(ink, 0);
  }
  // The GAME OVER logo's words keep to the part above the caption's.
  const Picture over = LoadPicture(kSheetGameOver);
  int low_ink = 0;
  for (int y = 52; y < 80; ++y) {
    for (int x = 0; x < 360; ++x) low_ink += !IsKey(over.At(x, y));
  }
  EXPECT_EQ(low_ink, 0);
}

TEST(GeneratedPictures, FontGlyphsAreDistinct) {
  Picture p = LoadPicture(kSheetFont);
  std::vector<std::vector<uint8_t>> seen;
  for (const FontGlyphRun& g : FontGlyphRuns()) {
    for (int i = 0; i < kSheetFont.runs[g.run].count; ++i) {
      CellRect c = CellOfRun(kSheetFont.runs[g.run], i);
      std::vector<uint8_t> mask;
      for (int y = c.y; y < c.y + c.height; ++y)
        for (int x = c.x; x < c.x + c.width; ++x) mask.push_back(!IsKey(p.At(x, y)));
      if (g.style == 0) {
        // Within a style no two characters look alike.
        EXPECT_EQ(std::count(seen.begin(), seen.end(), mask), 0)
            << "style 0 '" << g.chars[i] << "'";
        seen.push_back(mask);
      }
    }
  }
}

// The bomb ring is drawn five times its size with point sampling: any jump
// between neighbouring pixels shows as a 5-pixel step on screen.
TEST(GeneratedPictures, BombRingChangesGentlyFromPixelToPixel) {
  const Picture p = LoadPicture(kSheetMbBomb);
  for (int i = 0; i < CellCount(kSheetMbBomb); ++i) {
    SCOPED_TRACE("cell " + std::to_string(i));
    const CellRect c = CellOfSheet(kSheetMbBomb, i);
    int worst_step = 0, brightest_edge = 0;
    for (int y = c.y; y < c.y + c.height; ++y) {
      for (int x = c.x; x < c.x + c.width; ++x) {
        const uint8_t* px = p.At(x, y);
        if (IsKey(px)) continue;
        const int near[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& n : near) {
          const bool inside =
              n[0] >= c.x && n[0] < c.x + c.width && n[1] >= c.y && n[1] < c.y + c.height;
          const uint8_t* q = inside ? p.At(n[0], n[1]) : nullptr;
          if (q == nullptr || IsKey(q)) {
            brightest_edge = std::max(brightest_edge, Top(px));
            continue;
          }
          for (int k = 0; k < 3; ++k) worst_step = std::max(worst_step, std::abs(px[k] - q[k]));
        }
      }
    }
    EXPECT_LE(worst_step, 14);
    // Where it meets the field it is dim, so its outline's steps hardly show,
    // yet bright enough to be light on the field rather than a dark fringe.
    EXPECT_LE(brightest_edge, 170);
    EXPECT_GE(brightest_edge, kGlowCut);
  }
}

// The orbs a bomb fills the field with are drawn opaque over each other: an
// orb's outline must be as lit as its body, never a dark rim.
TEST(GeneratedPictures, PlayerOrbsAreLitRightToTheirRim) {
  struct Orb {
    const SheetLayout* sheet;
    int cell;
  };
  const Orb orbs[] = {{&kSheetMyBullet1, 10}, {&kSheetMyBullet2, 10}, {&kSheetMyBullet3, 10},
                      {&kSheetMyBullet4, 11}, {&kSheetMyBullet4, 12}, {&kSheetMyBullet4, 13},
                      {&kSheetMyBullet4, 14}};
  for (const Orb& orb : orbs) {
    SCOPED_TRACE(std::string(orb.sheet->path) + " cell " + std::to_string(orb.cell));
    const Picture p = LoadPicture(*orb.sheet);
    const CellRect c = CellOfSheet(*orb.sheet, orb.cell);
    auto key_at = [&](int x, int y) {
      return x < c.x || y < c.y || x >= c.x + c.width || y >= c.y + c.height || IsKey(p.At(x, y));
    };
    int drawn = 0, darkest_edge = 255;
    double body = 0;
    for (int y = c.y; y < c.y + c.height; ++y) {
      for (int x = c.x; x < c.x + c.width; ++x) {
        if (key_at(x, y)) continue;
        ++drawn;
        body += Top(p.At(x, y));
        if (key_at(x + 1, y) || key_at(x - 1, y) || key_at(x, y + 1) || key_at(x, y - 1)) {
          darkest_edge = std::min(darkest_edge, static_cast<int>(Top(p.At(x, y))));
        }
      }
    }
    ASSERT_GT(drawn, 0);
    EXPECT_GE(darkest_edge, body / drawn * 0.9);
  }
}

// Reads a RIFF/WAVE file strictly: 16-bit PCM, one channel.
bool ParseWav(const std::vector<uint8_t>& b, int* rate, std::vector<int16_t>* pcm) {
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
  };
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); };
  if (b.size() < 44 || std::memcmp(&b[0], "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4) ||
      std::memcmp(&b[12], "fmt ", 4) || std::memcmp(&b[36], "data", 4))
    return false;
  if (u32(4) != b.size() - 8 || u16(20) != 1 || u16(22) != 1 || u16(34) != 16) return false;
  *rate = static_cast<int>(u32(24));
  uint32_t bytes = u32(40);
  if (44 + bytes != b.size()) return false;
  pcm->resize(bytes / 2);
  for (size_t i = 0; i < pcm->size(); ++i) (*pcm)[i] = static_cast<int16_t>(u16(44 + 2 * i));
  return true;
}

TEST(GeneratedSounds, EveryEffectIsPcmOfItsLengthAndAudible) {
  ASSERT_EQ(SoundEffects().size(), 38u);
  for (const SoundEffectDef& def : SoundEffects()) {
    SCOPED_TRACE(def.path);
    int rate = 0;
    std::vector<int16_t> pcm;
    ASSERT_TRUE(ParseWav(Load(def.path), &rate, &pcm));
    EXPECT_EQ(rate, kEffectRate);
    EXPECT_EQ(static_cast<int>(pcm.size()), def.milliseconds * kEffectRate / 1000);
    double energy = 0;
    int peak = 0;
    for (int16_t s : pcm) {
      energy += static_cast<double>(s) * s;
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_GT(std::sqrt(energy / pcm.size()), 1000.0);
    EXPECT_LT(peak, 32767);  // never clipped
    // No offset from zero: in the mix it would add up to clipping.
    double sum = 0;
    for (int16_t s : pcm) sum += s;
    EXPECT_LT(std::fabs(sum / pcm.size()) / 32768.0, 0.005);
    // It starts and ends quietly, so a restart does not click.
    EXPECT_LT(std::abs(pcm.back()), 2000);
  }
}

TEST(GeneratedSounds, RapidFireEffectsAreShortAndQuieterThanRareOnes) {
  // Played many times a second (player shots, hits, enemy fire, score
  // items) against played now and then (explosions, bombs, extends).
  const std::set<std::string> rapid = {
      "se/shot.wav",        "se/s_shot.wav",     "se/shot2.wav", "se/shot3.wav",
      "se/shot4.wav",       "se/e_shot.wav",     "se/hit05.wav", "se/item_score.wav",
      "se/item_score2.wav", "se/item_score3.wav"};
  const std::set<std::string> rare = {"se/ebaku6.wav", "se/ebaku1.wav", "se/my_die.wav",
                                      "se/mybomb.wav", "se/bomb_s.wav", "se/extend.wav",
                                      "se/warn.wav",   "se/l_bonus.wav"};
  double loudest_rapid = 0, quietest_rare = 1;
  for (const SoundEffectDef& def : SoundEffects()) {
    const std::string name = def.path;
    if (rapid.count(name)) {
      EXPECT_LE(def.milliseconds, 100) << name;
      loudest_rapid = std::max(loudest_rapid, def.peak);
    }
    if (rare.count(name)) quietest_rare = std::min(quietest_rare, def.peak);
  }
  EXPECT_LT(loudest_rapid, quietest_rare / 1.5);
}

TEST(GeneratedMusic, EveryTrackIsMpegAudioOfAtLeastAMinute) {
  const char* names[] = {"bgm/lockout.mp3",
                         "bgm/mp3_truth.mp3",
                         "bgm/mp3_the_morning_glow.mp3",
                         "bgm/air fortress 4th.mp3",
                         "bgm/orbit elevator 2005.mp3",
                         "bgm/mp3_pluto.mp3",
                         "bgm/global distortion(ea.mp3",
                         "bgm/mp3_end_point.mp3",
                         "bgm/mp3_energy.mp3",
                         "bgm/mp3_storm.mp3",
                         "bgm/mp3_north_structure.mp3"};
  ASSERT_EQ(MusicTracks().size(), std::size(names));
  ASSERT_EQ(mpg123_init(), MPG123_OK);
  for (size_t t = 0; t < std::size(names); ++t) {
    SCOPED_TRACE(names[t]);
    EXPECT_STREQ(MusicTracks()[t].path, names[t]);
    std::vector<uint8_t> mp3 = Load(names[t]);
    ASSERT_FALSE(mp3.empty());
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    ASSERT_NE(h, nullptr);
    mpg123_param(h, MPG123_FLAGS, MPG123_QUIET, 0);
    ASSERT_EQ(mpg123_open_feed(h), MPG123_OK);
    ASSERT_EQ(mpg123_feed(h, mp3.data(), mp3.size()), MPG123_OK);
    std::vector<unsigned char> buffer(1 << 16);
    size_t decoded_bytes = 0;
    double energy = 0, side = 0, offset = 0;
    long rate = 0;
    int channels = 0, encoding = 0;
    for (;;) {
      size_t got = 0;
      int r = mpg123_read(h, buffer.data(), buffer.size(), &got);
      decoded_bytes += got;
      for (size_t i = 0; i + 3 < got; i += 4) {
        const double l = static_cast<int16_t>(buffer[i] | buffer[i + 1] << 8);
        const double r = static_cast<int16_t>(buffer[i + 2] | buffer[i + 3] << 8);
        energy += (l * l + r * r) / 2;
        side += (l - r) * (l - r) / 4;
        offset += (l + r) / 2;
      }
      if (r == MPG123_NEW_FORMAT) {
        mpg123_getformat(h, &rate, &channels, &encoding);
        continue;
      }
      if (r != MPG123_OK) {
        EXPECT_EQ(r, MPG123_NEED_MORE);  // the whole stream, then no error
        break;
      }
    }
    mpg123_delete(h);
    ASSERT_EQ(rate, kMusicRate);
    ASSERT_EQ(channels, 2);
    ASSERT_EQ(encoding, MPG123_ENC_SIGNED_16);
    double seconds = static_cast<double>(decoded_bytes) / 4 / rate;
    double expected = static_cast<double>(MusicSampleCount(MusicTracks()[t])) / kMusicRate;
    EXPECT_GE(expected, kMinimumMusicSeconds);
    // The encoder adds a little delay and padding, never much.
    EXPECT_NEAR(seconds, expected, 0.2);
    // Music, not silence; in stereo, a little wide, and centred on zero.
    const double frames = static_cast<double>(decoded_bytes / 4);
    EXPECT_GT(std::sqrt(energy / frames), 1500.0);
    EXPECT_GT(side / energy, 0.003);
    EXPECT_LT(std::fabs(offset / frames) / 32768.0, 0.005);
  }
}

TEST(GeneratedFiles, PaintingAndSynthesisGiveTheSameBytesEveryTime) {
  for (const SheetLayout* sheet : {&kSheetEb3, &kSheetFont, &kSheetEmy220_1, &kSheetStage50,
                                   &kSheetMbBomb, &kSheetMyBullet1}) {
    EXPECT_EQ(ContentHash(EncodePng(PaintSheet(*sheet))), ContentHash(Load(sheet->path)))
        << sheet->path;
  }
  const SoundEffectDef& boom = SoundEffects()[4];
  EXPECT_EQ(ContentHash(EncodeWav(SynthesizeEffect(boom), kEffectRate)),
            ContentHash(Load(boom.path)));
}

TEST(GeneratedFiles, ScreenTextOpensAWindowWithPacing) {
  std::vector<uint8_t> text = Load("screen.txt");
  EXPECT_EQ(std::string(text.begin(), text.end()), "1\n1\n");
}

}  // namespace
