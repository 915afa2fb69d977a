// The default restore callback: after the surfaces were lost every flagged
// graphic takes its pixels again from the file it was loaded from. A run of
// graphics cut from one file decodes that file once.
#include <cstring>
#include <string>

#include "core/data_stream.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/graphics_manager.h"
#include "graphics/image_load.h"
#include "graphics/image_record.h"

namespace {

constexpr size_t kMaxReloadPath = 128;
constexpr size_t kMaxReloadName = 64;

struct HeldImages {
  bool held = false;
  int loaded = -1;  // LoadImageWithAlphaCompanion's result
  std::string name, path;
  int mirror_option = 0;
  ImageRecord image{};
  ImageRecord alpha{};

  void Release() {
    if (held) {
      ReleaseImageRecord(&image);
      if (loaded == 0) ReleaseImageRecord(&alpha);
    }
    held = false;
    loaded = -1;
  }
};

}  // namespace

void ReloadGraphicsFromFiles() {
  GfxLog("グラフィックを復帰します\n");
  char kept_dir[kCurrentDirSize] = {};
  const bool have_dir = CallGetCurrentDir(kept_dir) != 0;
  HeldImages held;
  RecordTable<GraphicRecord>& table = GraphicTable();
  for (int slot = 0; slot < table.bound(); ++slot) {
    GraphicRecord* g = table.at(slot);
    if (!g || g->restore_flag != 1 || !g->name[0]) continue;
    if (std::strlen(g->path) > kMaxReloadPath || std::strlen(g->name) > kMaxReloadName) continue;
    // Copies: the upload below rewrites the record's name and path.
    const std::string name = g->name, path = g->path;
    const bool reuse = held.held && held.name == name && held.path == path &&
                       held.mirror_option == g->mirror_option;
    if (!reuse) {
      held.Release();
      // Should the directory be gone, the load below fails and is logged.
      CallSetCurrentDir(path.c_str());
      GfxLog("パス:%s ファイル:%s をロードします", path.c_str(), name.c_str());
      held.loaded = LoadImageWithAlphaCompanion(name.c_str(), nullptr, 0, 0, nullptr, 0, 0,
                                                &held.image, &held.alpha, g->mirror_option);
      held.name = name;
      held.path = path;
      held.mirror_option = g->mirror_option;
      if (held.loaded == -1) {
        GfxLog("パス:%s ファイル:%s がロードできませんでした", path.c_str(), name.c_str());
      } else {
        held.held = true;
      }
    }
    if (held.held) {
      UploadImagesToGraphic(0, 0, 0, name.c_str(), 0, &held.image,
                            held.loaded == 0 ? &held.alpha : nullptr, g->origin_x, g->origin_y,
                            GetGraphicHandle(g), g->mirror_option);
    }
    g->restore_flag = 0;
  }
  held.Release();
  if (have_dir) CallSetCurrentDir(kept_dir);
}
