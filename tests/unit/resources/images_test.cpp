// Checks the committed skin images against what the skins and layouts expect of them:
// every image decodes as RGBA at its frame size times its frame count, nine-grid
// backgrounds stretch cleanly, and the popup backgrounds carry real transparency.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

enum class Stretch { None, Horizontal, Both };

struct ImageEntry {
    const char* id;
    const char* file;
    int frameWidth;
    int frameHeight;
    int frames;
    // Nine-grid margins left, top, right, bottom; all 0 for images drawn unscaled.
    int left, top, right, bottom;
    // Directions in which the middle bands get stretched when the skin is drawn.
    Stretch stretch;
};

const ImageEntry kImages[] = {
    {"IMG:USER_BK_DLG", "user_bk_dlg.png", 20, 20, 1, 3, 3, 3, 3, Stretch::Both},
    {"IMG:USER_BK_BORDER", "user_bk_border.png", 20, 20, 1, 3, 3, 3, 3, Stretch::Both},
    // Drawn at its own 22 x 22 as the drop-down button; its arrow sits in the middle.
    {"IMG:DROP_DOWN", "drop_down.png", 22, 22, 4, 3, 3, 3, 3, Stretch::None},
    {"IMG:USER_FILE_NULL", "user_file_null.png", 200, 200, 3, 0, 0, 0, 0, Stretch::None},
    {"IMG:PNG_SLOADING", "png_sloading.png", 32, 32, 8, 0, 0, 0, 0, Stretch::None},
    // The back button is exactly as high as the image; its arrow fills the left margin.
    {"IMG:PNG_BUTBACK", "png_butback.png", 30, 20, 3, 20, 2, 3, 2, Stretch::Horizontal},
    {"IMG:PNG_QUESTION_TIP", "png_question_tip.png", 14, 14, 1, 0, 0, 0, 0, Stretch::None},
    {"IMG:PNG_BKTOP_TIP", "png_bktop_tip.png", 286, 54, 1, 65, 10, 12, 13, Stretch::Both},
    {"IMG:PNG_BK_TOAST", "png_bk_toast.png", 50, 50, 1, 10, 10, 10, 10, Stretch::Both},
    {"IMG:PNG_ICO_TOAST", "png_ico_toast.png", 18, 22, 1, 0, 0, 0, 0, Stretch::None},
};

const ImageEntry& EntryFor(const std::string& file)
{
    for (const ImageEntry& entry : kImages) {
        if (file == entry.file)
            return entry;
    }
    ADD_FAILURE() << "no catalogue entry for " << file;
    return kImages[0];
}

struct Pixel {
    uint8_t r, g, b, a;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct Image {
    int width = 0;
    int height = 0;
    int fileChannels = 0;
    std::vector<Pixel> pixels;

    bool Loaded() const { return !pixels.empty(); }
    const Pixel& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Image Load(const std::string& file)
{
    const std::string path = std::string(SF_IMAGES_DIR) + "/" + file;
    Image image;
    stbi_uc* data = stbi_load(path.c_str(), &image.width, &image.height, &image.fileChannels, 4);
    if (data == nullptr) {
        ADD_FAILURE() << path << ": " << stbi_failure_reason();
        return image;
    }
    const auto* px = reinterpret_cast<const Pixel*>(data);
    image.pixels.assign(px, px + static_cast<size_t>(image.width) * image.height);
    stbi_image_free(data);
    return image;
}

bool FramesEqual(const Image& image, int frameWidth, int a, int b)
{
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            if (!(image.At(a * frameWidth + x, y) == image.At(b * frameWidth + x, y)))
                return false;
        }
    }
    return true;
}

TEST(ResourceImages, EveryCatalogueImageIsRgbaAtFrameSizeTimesFrames)
{
    for (const ImageEntry& entry : kImages) {
        SCOPED_TRACE(entry.id);
        const Image image = Load(entry.file);
        ASSERT_TRUE(image.Loaded());
        EXPECT_EQ(image.fileChannels, 4);
        EXPECT_EQ(image.width, entry.frameWidth * entry.frames);
        EXPECT_EQ(image.height, entry.frameHeight);
    }
}

// Stretching repeats the middle column and row of the grid, so everything between the
// margins must be the same along the stretch direction, or a stretched skin smears.
TEST(ResourceImages, StretchedBackgroundsAreUniformBetweenTheirMargins)
{
    for (const ImageEntry& entry : kImages) {
        if (entry.stretch == Stretch::None)
            continue;
        SCOPED_TRACE(entry.id);
        const Image image = Load(entry.file);
        ASSERT_EQ(image.width, entry.frameWidth * entry.frames);
        ASSERT_EQ(image.height, entry.frameHeight);
        ASSERT_LT(entry.left + entry.right, entry.frameWidth);
        ASSERT_LT(entry.top + entry.bottom, entry.frameHeight);
        for (int f = 0; f < entry.frames; ++f) {
            const int x0 = f * entry.frameWidth;
            for (int y = 0; y < entry.frameHeight; ++y) {
                for (int x = x0 + entry.left + 1; x < x0 + entry.frameWidth - entry.right; ++x) {
                    ASSERT_TRUE(image.At(x, y) == image.At(x0 + entry.left, y))
                        << "frame " << f << " row " << y << " varies at x " << x - x0;
                }
            }
            if (entry.stretch != Stretch::Both)
                continue;
            for (int x = x0; x < x0 + entry.frameWidth; ++x) {
                for (int y = entry.top + 1; y < entry.frameHeight - entry.bottom; ++y) {
                    ASSERT_TRUE(image.At(x, y) == image.At(x, entry.top))
                        << "frame " << f << " column " << x - x0 << " varies at y " << y;
                }
            }
        }
    }
}

TEST(ResourceImages, PopupBackgroundsAreRoundedAndTranslucentWhereIntended)
{
    const Image toast = Load("png_bk_toast.png");
    ASSERT_TRUE(toast.Loaded());
    EXPECT_EQ(toast.At(0, 0).a, 0) << "rounded corner";
    const Pixel mid = toast.At(toast.width / 2, toast.height / 2);
    EXPECT_GT(mid.a, 0);
    EXPECT_LT(mid.a, 255) << "the toast panel is see-through";
    EXPECT_LT(mid.r + mid.g + mid.b, 3 * 96) << "the toast panel is dark";

    const Image tip = Load("png_bktop_tip.png");
    ASSERT_TRUE(tip.Loaded());
    EXPECT_EQ(tip.At(0, 0).a, 0) << "rounded corner";
    EXPECT_EQ(tip.At(tip.width - 1, 0).a, 0) << "rounded corner";
    const Pixel body = tip.At(tip.width / 2, 20);
    EXPECT_GT(body.a, 200);
    EXPECT_GT(body.r + body.g + body.b, 3 * 224) << "the tooltip is light";
}

// The tooltip stands above its icon with its left edge 40 pixels left of the 14-pixel
// icon, so its pointer must come out of the bottom edge over x 40..54 and must not be
// stretched: it lies inside the left and bottom margins.
TEST(ResourceImages, TooltipPointerHangsFromBottomEdgeOverTheIcon)
{
    const ImageEntry& entry = EntryFor("png_bktop_tip.png");
    const Image tip = Load(entry.file);
    ASSERT_TRUE(tip.Loaded());
    const int bottom = tip.height - 1;
    int first = -1, last = -1;
    for (int x = 0; x < tip.width; ++x) {
        if (tip.At(x, bottom).a > 0) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    ASSERT_GE(first, 0) << "nothing reaches the bottom edge";
    EXPECT_GE(first, 40);
    EXPECT_LE(last, 40 + 14 - 1);
    EXPECT_LT(last, entry.left);
    // Nothing of the pointer rises out of the top: the popup never points upwards.
    for (int x = entry.left; x < tip.width - entry.right; ++x) {
        ASSERT_GT(tip.At(x, 0).a, 0) << "top edge broken at x " << x;
    }
    EXPECT_EQ(tip.At(10, bottom).a, 0);
    EXPECT_EQ(tip.At(tip.width - 10, bottom).a, 0);
}

TEST(ResourceImages, StateAndAnimationStripsHaveDistinctFrames)
{
    for (const char* file : {"png_sloading.png", "drop_down.png", "user_file_null.png", "png_butback.png"}) {
        const ImageEntry& entry = EntryFor(file);
        SCOPED_TRACE(entry.id);
        const Image image = Load(file);
        ASSERT_EQ(image.width, entry.frameWidth * entry.frames);
        for (int a = 0; a < entry.frames; ++a) {
            for (int b = a + 1; b < entry.frames; ++b) {
                EXPECT_FALSE(FramesEqual(image, entry.frameWidth, a, b)) << "frames " << a << " and " << b;
            }
        }
    }
}

}  // namespace
