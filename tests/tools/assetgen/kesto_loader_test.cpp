// The generated pictures as the library reads them: its loader chain must
// recognise every file by content and see the layout's size.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/image_load.h"
#include "graphics/image_record.h"
#include "run_dir.h"
#include "shell/sheet_layout.h"
#include "version.h"

namespace {

TEST(GeneratedPicturesInTheLibrary, EverySheetLoadsThroughTheImageLoadersAtItsSize) {
  std::filesystem::path dir = std::filesystem::current_path() / "assetgen_run";
  GenerateReport r = GenerateRunDirectory(dir.string(), AllOutputs(), GeneratorStamp());
  ASSERT_EQ(r.failed, 0);
  for (const SheetLayout* sheet : AllSheets()) {
    SCOPED_TRACE(sheet->path);
    std::string path = (dir / sheet->path).string();
    ImageRecord image{};
    ASSERT_EQ(LoadImageToRecord(path.c_str(), nullptr, 0, 0, 0, 0, &image, nullptr, nullptr), 0);
    EXPECT_EQ(image.width, sheet->width);
    EXPECT_EQ(image.height, sheet->height);
    FreeImagePixels(image.pixels);
  }
}

}  // namespace
