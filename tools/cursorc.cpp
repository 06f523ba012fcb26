// The cursor compiler: turns a cursor drawn as a text picture into the two
// resources Windows keeps a cursor in, a group directory with one entry and
// that entry's image.
//
//     cursorc PICTURE IMAGE_ID GROUP_OUTPUT IMAGE_OUTPUT
//
// A picture is 32 rows of 32 pixels, one row a line:
//     .  transparent    #  black    -  white    ~  inverts what lies beneath
// One line "hotspot X Y" names the pixel that is the pointer's position;
// lines starting with ';' are comments, empty lines are skipped.
//
// The image is the hot spot (16-bit x and y), then a 1-bit bitmap: the
// bitmap header with the height doubled, black and white as its palette, the
// colour (XOR) rows, then the mask (AND) rows, bottom-up and padded to 32
// bits. The group directory has the cursor type 2 and one 14-byte entry:
// width, doubled height, planes, bit count, bytes in the image, image id.

#include "ResourceBytes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using velbrin::tools::Bytes;
using velbrin::tools::Put16;
using velbrin::tools::Put32;

constexpr int kSize = 32;

struct PictureError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Picture {
    std::vector<std::string> rows;
    int hotX = -1;
    int hotY = -1;
};

bool ReadNumber(std::istringstream& in, int& value) {
    std::string word;
    if (!(in >> word) || word.size() > 3 ||
        !std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return false;
    }
    value = std::stoi(word);
    return true;
}

void ReadHotSpot(const std::string& line, Picture& picture, const std::string& where) {
    if (picture.hotX >= 0) {
        throw PictureError(where + ": a second hot spot");
    }
    std::istringstream in(line.substr(7));
    std::string rest;
    if (!ReadNumber(in, picture.hotX) || !ReadNumber(in, picture.hotY) || (in >> rest)) {
        throw PictureError(where + ": expected \"hotspot X Y\"");
    }
    if (picture.hotX >= kSize || picture.hotY >= kSize) {
        throw PictureError(where + ": the hot spot lies outside the picture");
    }
}

void ReadRow(const std::string& line, Picture& picture, const std::string& where) {
    if (line.size() != kSize) {
        throw PictureError(where + ": a row holds " + std::to_string(kSize) + " pixels, not " +
                           std::to_string(line.size()));
    }
    std::size_t bad = line.find_first_not_of(".#-~");
    if (bad != std::string::npos) {
        throw PictureError(where + ": '" + std::string(1, line[bad]) + "' is not a pixel");
    }
    if (picture.rows.size() == kSize) {
        throw PictureError(where + ": more than " + std::to_string(kSize) + " rows");
    }
    picture.rows.push_back(line);
}

Picture ReadPicture(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw PictureError(path + ": cannot open");
    }
    Picture picture;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line.rfind("hotspot", 0) == 0) {
            ReadHotSpot(line, picture, where);
        } else {
            ReadRow(line, picture, where);
        }
    }
    if (picture.rows.size() != kSize) {
        throw PictureError(path + ": " + std::to_string(picture.rows.size()) + " rows, not " +
                           std::to_string(kSize));
    }
    if (picture.hotX < 0) {
        throw PictureError(path + ": no hot spot");
    }
    return picture;
}

// Bit 7 of a byte is the leftmost pixel. Rows are stored bottom-up.
void PutRows(Bytes& out, const Picture& picture, const std::string& setPixels) {
    constexpr int stride = (kSize + 31) / 32 * 4;
    for (int y = kSize - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < kSize; ++x) {
            if (setPixels.find(picture.rows[y][x]) != std::string::npos) {
                row[x / 8] |= 0x80 >> (x % 8);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

Bytes CursorImage(const Picture& picture) {
    constexpr int stride = (kSize + 31) / 32 * 4;
    Bytes out;
    Put16(out, static_cast<unsigned>(picture.hotX));
    Put16(out, static_cast<unsigned>(picture.hotY));
    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, kSize * 2);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 0);
    Put32(out, stride * kSize * 2);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 2);
    Put32(out, 0);
    Put32(out, 0x00000000); // black
    Put32(out, 0x00FFFFFF); // white
    // Where the mask lets the screen through, a white colour bit inverts it
    // and a black one leaves it alone.
    PutRows(out, picture, "-~");
    PutRows(out, picture, ".~");
    return out;
}

Bytes GroupDirectory(std::size_t imageSize, unsigned imageId) {
    Bytes out;
    Put16(out, 0);
    Put16(out, 2);
    Put16(out, 1);
    Put16(out, kSize);
    Put16(out, kSize * 2);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, static_cast<std::uint32_t>(imageSize));
    Put16(out, imageId);
    return out;
}

unsigned ParseImageId(const std::string& text) {
    bool digits =
        !text.empty() && text.size() <= 5 &&
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
    unsigned long id = digits ? std::stoul(text) : 0;
    if (id == 0 || id > 0xFFFF) {
        throw PictureError("the image id \"" + text + "\" is not a number from 1 to 65535");
    }
    return static_cast<unsigned>(id);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: cursorc PICTURE IMAGE_ID GROUP_OUTPUT IMAGE_OUTPUT\n";
        return 2;
    }
    try {
        unsigned imageId = ParseImageId(argv[2]);
        Bytes image = CursorImage(ReadPicture(argv[1]));
        Bytes group = GroupDirectory(image.size(), imageId);
        bool ok = velbrin::tools::WriteBytes(argv[3], group, "cursorc");
        ok = velbrin::tools::WriteBytes(argv[4], image, "cursorc") && ok;
        return ok ? 0 : 1;
    } catch (const PictureError& error) {
        std::cerr << "cursorc: " << error.what() << "\n";
        return 1;
    }
}
