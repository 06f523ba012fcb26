#include "GraphicsTestSupport.h"

#include "core/TMemoryStream.h"
#include "graphics/TCanvas.h"
#include "graphics/TIcon.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

using IconTest = GraphicsTest;

// Counts change events.
class ChangeLog : public TObject {
public:
    void Changed(TObject* sender) { senders.push_back(sender); }
    std::vector<TObject*> senders;
};

void WriteBytes(TStream& stream, const std::vector<std::uint8_t>& bytes) {
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

std::string ContentsOf(TMemoryStream& stream) {
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

TEST_F(IconTest, NewIconIsEmpty) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    EXPECT_EQ(icon.Handle(), nullptr);
    EXPECT_EQ(icon.Image()->RefCount, 1);
    TMemoryStream out;
    EXPECT_THROW(icon.SaveToStream(out), EInvalidGraphic);
}

TEST_F(IconTest, CopiesShareOneImageUntilTheLastGoes) {
    HICON handle = LoadIconA(nullptr, IDI_WINLOGO);
    ASSERT_NE(handle, nullptr);
    auto first = std::make_unique<TIcon>();
    first->SetHandle(handle);
    auto second = std::make_unique<TIcon>();
    ChangeLog log;
    second->OnChange = TNotifyEvent::Of<&ChangeLog::Changed>(&log);
    second->Assign(first.get());
    EXPECT_EQ(second->Image(), first->Image());
    EXPECT_EQ(second->Image()->RefCount, 2);
    EXPECT_EQ(log.senders, std::vector<TObject*>{second.get()});
    EXPECT_TRUE(second->Modified);

    first.reset();
    EXPECT_EQ(second->Handle(), handle);
    EXPECT_EQ(second->Image()->RefCount, 1);
    EXPECT_FALSE(second->Empty());

    second->Assign(nullptr);
    EXPECT_TRUE(second->Empty());
    EXPECT_EQ(log.senders.size(), 2u);
}

TEST_F(IconTest, SizeIsTheSystemsAndCannotChange) {
    TIcon icon;
    EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(icon.Height(), GetSystemMetrics(SM_CYICON));
    try {
        icon.SetWidth(16);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphicOperation& error) {
        EXPECT_EQ(AnsiToUtf8(error.Message()), "ｱｲｺﾝの大きさは変更できません");
    }
    EXPECT_THROW(icon.SetHeight(16), EInvalidGraphicOperation);
    WORD format = 0;
    HANDLE data = nullptr;
    try {
        icon.SaveToClipboardFormat(format, data);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphicOperation& error) {
        EXPECT_EQ(AnsiToUtf8(error.Message()), "ｸﾘｯﾌﾟﾎﾞｰﾄﾞはｱｲｺﾝには対応していません");
    }
    EXPECT_THROW(icon.LoadFromClipboardFormat(0, nullptr), EInvalidGraphicOperation);
}

TEST_F(IconTest, DefaultIconStoredFormRoundTrips) {
    TMemoryStream in;
    const std::vector<std::uint8_t> prefix = {'x', 'y'};
    WriteBytes(in, prefix);
    WriteBytes(in, {0, 0, 0, 0, 0, 0});
    in.SetPosition(2);
    TIcon icon;
    icon.LoadFromStream(in);
    EXPECT_FALSE(icon.Empty());
    EXPECT_EQ(icon.Handle(), Graphics().defaultApplicationIcon);

    TIcon fromHandle;
    fromHandle.SetHandle(Graphics().defaultApplicationIcon);
    TMemoryStream out;
    fromHandle.SaveToStream(out);
    EXPECT_EQ(ContentsOf(out), std::string(6, '\0'));
}

TEST_F(IconTest, BadIconDataRaisesAndKeepsTheCurrentImage) {
    TIcon icon;
    icon.SetHandle(Graphics().defaultApplicationIcon);
    const TIconImage* image = icon.Image();
    for (const std::vector<std::uint8_t>& bytes :
         {std::vector<std::uint8_t>{0, 0, 2, 0, 1, 0}, std::vector<std::uint8_t>{0, 0, 1},
          std::vector<std::uint8_t>{}}) {
        TMemoryStream in;
        WriteBytes(in, bytes);
        in.SetPosition(0);
        try {
            icon.LoadFromStream(in);
            ADD_FAILURE() << "no error for " << bytes.size() << " bytes";
        } catch (const EInvalidGraphic& error) {
            EXPECT_EQ(AnsiToUtf8(error.Message()), "ｱｲｺﾝｲﾒｰｼﾞが不正です");
        }
        EXPECT_EQ(icon.Image(), image);
    }
}

// An icon file made of the program's own 16 x 16 and 32 x 32 images.
std::vector<std::uint8_t> ProgramIconFile() {
    HMODULE module = GetModuleHandleA(nullptr);
    std::vector<std::uint8_t> file = {0, 0, 1, 0, 2, 0};
    std::vector<std::uint8_t> images;
    for (int id : {2, 1}) {
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON);
        const auto* bits =
            static_cast<const std::uint8_t*>(LockResource(LoadResource(module, image)));
        const std::uint32_t size = SizeofResource(module, image);
        const std::uint32_t offset = 6 + 2 * 16 + static_cast<std::uint32_t>(images.size());
        const auto side = static_cast<std::uint8_t>(bits[4]);
        file.insert(file.end(), {side, side, 0, 0, 1, 0, 32, 0});
        for (std::uint32_t value : {size, offset}) {
            for (int shift = 0; shift < 32; shift += 8) {
                file.push_back(static_cast<std::uint8_t>(value >> shift));
            }
        }
        images.insert(images.end(), bits, bits + size);
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}

TEST_F(IconTest, IconFileDataBecomesADrawableIcon) {
    TMemoryStream in;
    WriteBytes(in, ProgramIconFile());
    in.SetPosition(0);
    TIcon icon;
    icon.LoadFromStream(in);
    HICON handle = icon.Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(handle, Graphics().defaultApplicationIcon);

    const COLORREF background = RGB(0, 255, 0);
    HDC dc = platform::CreateMemorySurfaceDC(32, 32, background);
    TCanvas canvas;
    canvas.SetHandle(dc);
    icon.Draw(canvas, {0, 0, 32, 32});
    canvas.SetHandle(nullptr);
    // The larger image was taken: the harmonica reaches past the 16th row
    // and column, and the corners stay clear.
    int paintedBeyondSmall = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            bool painted = platform::ReadSurfacePixel(dc, x, y) != background;
            paintedBeyondSmall += painted && (x >= 16 || y >= 16) ? 1 : 0;
        }
    }
    EXPECT_GT(paintedBeyondSmall, 50);
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 0, 0), background);
    DeleteDC(dc);

    TMemoryStream saved;
    icon.SaveToStream(saved);
    const std::vector<std::uint8_t> file = ProgramIconFile();
    EXPECT_EQ(ContentsOf(saved), std::string(file.begin(), file.end()));
}

TEST_F(IconTest, IconFileDataThatLiesAboutItsImagesRaises) {
    std::vector<std::uint8_t> file = ProgramIconFile();
    std::vector<std::uint8_t> pastTheEnd = file;
    for (int entry = 0; entry < 2; ++entry) {
        pastTheEnd[6 + entry * 16 + 14] = 0x7F; // each image's offset points outside the data
    }
    std::vector<std::uint8_t> noImages = {0, 0, 1, 0, 0, 0};
    std::vector<std::uint8_t> cutDirectory(file.begin(), file.begin() + 20);
    for (const auto& bytes : {pastTheEnd, noImages, cutDirectory}) {
        TMemoryStream in;
        WriteBytes(in, bytes);
        in.SetPosition(0);
        TIcon icon;
        icon.LoadFromStream(in);
        EXPECT_THROW(icon.Handle(), EInvalidGraphic) << bytes.size();
    }
}

TEST_F(IconTest, DrawNeedsADeviceContext) {
    TIcon icon;
    TCanvas canvas;
    EXPECT_THROW(icon.Draw(canvas, {0, 0, 32, 32}), EInvalidOperation);
}

// The group directory of the program's icon and the images it names.
TEST_F(IconTest, ProgramIconIsStoredAsWindowsStoresIcons) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(module, "MAINICON", RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, group)));
    ASSERT_EQ(SizeofResource(module, group), 6u + 2 * 14);
    auto word = [](const std::uint8_t* p) { return static_cast<unsigned>(p[0] | p[1] << 8); };
    EXPECT_EQ(word(dir + 2), 1u) << "an icon directory";
    ASSERT_EQ(word(dir + 4), 2u);

    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const std::uint8_t* entry = dir + 6 + 14 * i;
        EXPECT_EQ(entry[0], sizes[i]);
        EXPECT_EQ(entry[1], sizes[i]);
        EXPECT_EQ(word(entry + 6), 32u) << "bits per pixel";
        const unsigned bytes = word(entry + 8) | word(entry + 10) << 16;
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(word(entry + 12)), RT_ICON);
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(SizeofResource(module, image), bytes);
        const auto* bits =
            static_cast<const std::uint8_t*>(LockResource(LoadResource(module, image)));
        std::int32_t header[3];
        std::memcpy(header, bits, sizeof header);
        EXPECT_EQ(header[0], 40);
        EXPECT_EQ(header[1], sizes[i]);
        EXPECT_EQ(header[2], 2 * sizes[i]) << "colour rows and mask rows";
        const int maskStride = (sizes[i] + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40u + sizes[i] * sizes[i] * 4 + maskStride * sizes[i]);

        // Rows are bottom-up: the last row is transparent, the middle one not,
        // and the mask agrees with the alpha.
        auto alpha = [&](int x, int y) {
            return bits[40 + ((sizes[i] - 1 - y) * sizes[i] + x) * 4 + 3];
        };
        const std::uint8_t* mask = bits + 40 + sizes[i] * sizes[i] * 4;
        auto masked = [&](int x, int y) {
            return (mask[(sizes[i] - 1 - y) * maskStride + x / 8] >> (7 - x % 8)) & 1;
        };
        EXPECT_EQ(alpha(0, sizes[i] - 1), 0);
        EXPECT_EQ(alpha(sizes[i] / 2, sizes[i] / 2), 255);
        for (int y = 0; y < sizes[i]; ++y) {
            for (int x = 0; x < sizes[i]; ++x) {
                ASSERT_EQ(masked(x, y), alpha(x, y) == 0 ? 1 : 0) << x << "," << y;
            }
        }
    }
    EXPECT_NE(LoadIconA(module, "MAINICON"), nullptr);
}

} // namespace
} // namespace velbrin::testing
