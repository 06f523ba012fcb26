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
