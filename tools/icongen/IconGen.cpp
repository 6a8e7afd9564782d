// Build tool: turns a text drawing of an icon (a palette legend and one
// pixel grid per image) into a 16-colour .ico file, or into a .cur file
// when the output name ends in ".cur" and every image names its hotspot.
//
// Input format, line by line ('#' lines and blank lines between blocks are
// ignored):
//   palette                         starts the legend
//   <char> transparent              a pixel the icon does not cover
//   <char> RRGGBB [words...]        an opaque colour, with a description
//   image <width> <height> [hotspot <x> <y>]
//   <height rows of exactly width legend characters>
// Images are written in the order they appear. Palette index 0 is black,
// which transparent pixels use under their mask, as the format expects.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Image {
    int width { 0 };
    int height { 0 };
    std::optional<std::pair<int, int>> hotspot;
    std::vector<std::string> rows;
};

struct Drawing {
    // Legend character to palette index; nullopt marks the transparent one.
    std::map<char, std::optional<int>> legend;
    std::array<std::uint32_t, 16> palette {}; // 0x00RRGGBB
    int colours { 1 };                        // index 0 is always black
    std::vector<Image> images;
};

class Failure {
public:
    Failure(int line, std::string message)
        : m_line(line)
        , m_message(std::move(message))
    {
    }
    int line() const { return m_line; }
    const std::string& message() const { return m_message; }

private:
    int m_line;
    std::string m_message;
};

bool ignorable(const std::string& line)
{
    return line.empty() || line[0] == '#' || line.find_first_not_of(" \t\r") == std::string::npos;
}

void addLegendEntry(Drawing& drawing, const std::string& line, int lineNumber)
{
    std::istringstream words(line);
    std::string key, value;
    words >> key >> value;
    if (key.size() != 1 || value.empty())
        throw Failure(lineNumber, "a legend entry is one character and a colour");
    if (drawing.legend.count(key[0]))
        throw Failure(lineNumber, "legend character defined twice");
    if (value == "transparent") {
        drawing.legend[key[0]] = std::nullopt;
        return;
    }
    if (value.size() != 6 || value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw Failure(lineNumber, "a colour is six hexadecimal digits RRGGBB");
    const auto rgb = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
    if (rgb == 0) {
        drawing.legend[key[0]] = 0;
        return;
    }
    if (drawing.colours == 16)
        throw Failure(lineNumber, "more colours than a 16-colour image holds");
    drawing.palette[static_cast<std::size_t>(drawing.colours)] = rgb;
    drawing.legend[key[0]] = drawing.colours++;
}

Drawing readDrawing(std::istream& in)
{
    Drawing drawing;
    std::string line;
    int lineNumber = 0;
    bool inLegend = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (ignorable(line))
            continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "palette") {
            if (!drawing.legend.empty())
                throw Failure(lineNumber, "only one palette per file");
            inLegend = true;
            continue;
        }
        if (keyword == "image") {
            inLegend = false;
            Image image;
            std::string extra;
            if (!(words >> image.width >> image.height) || image.width < 1 || image.width > 256 || image.height < 1
                || image.height > 256)
                throw Failure(lineNumber, "an image is 1 to 256 pixels wide and high");
            if (words >> extra) {
                int x = 0, y = 0;
                if (extra != "hotspot" || !(words >> x >> y) || x < 0 || y < 0 || x >= image.width || y >= image.height)
                    throw Failure(lineNumber, "expected: hotspot <x> <y> inside the image");
                image.hotspot = std::make_pair(x, y);
            }
            for (int row = 0; row < image.height; ++row) {
                if (!std::getline(in, line))
                    throw Failure(lineNumber, "the file ends inside an image");
                ++lineNumber;
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (static_cast<int>(line.size()) != image.width)
                    throw Failure(lineNumber, "row of " + std::to_string(line.size()) + " pixels, expected "
                            + std::to_string(image.width));
                for (const char pixel : line) {
                    if (!drawing.legend.count(pixel))
                        throw Failure(lineNumber, std::string("pixel '") + pixel + "' is not in the legend");
                }
                image.rows.push_back(line);
            }
            drawing.images.push_back(std::move(image));
            continue;
        }
        if (!inLegend)
            throw Failure(lineNumber, "unexpected line outside the palette and the images");
        addLegendEntry(drawing, line, lineNumber);
    }
    if (drawing.images.empty())
        throw Failure(lineNumber, "the file holds no image");
    return drawing;
}

void put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One image as the icon formats store it: a bitmap header whose height
// counts both masks, the colour table, the 4-bit colour rows and the 1-bit
// transparency rows, each bottom-up and padded to 32 bits.
std::vector<std::uint8_t> encodeImage(const Drawing& drawing, const Image& image)
{
    const int colourStride = (image.width * 4 + 31) / 32 * 4;
    const int maskStride = (image.width + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height * 2));
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>((colourStride + maskStride) * image.height));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    for (const std::uint32_t rgb : drawing.palette) {
        out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }
    for (int row = image.height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(colourStride), 0);
        for (int x = 0; x < image.width; ++x) {
            const auto index = drawing.legend.at(image.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)]);
            const auto nibble = static_cast<std::uint8_t>(index.value_or(0));
            bits[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? nibble << 4 : nibble);
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    for (int row = image.height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < image.width; ++x) {
            if (!drawing.legend.at(image.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)]))
                bits[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

std::vector<std::uint8_t> encodeFile(const Drawing& drawing, bool cursor)
{
    std::vector<std::vector<std::uint8_t>> images;
    for (const Image& image : drawing.images)
        images.push_back(encodeImage(drawing, image));

    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, cursor ? 2 : 1);
    put16(out, static_cast<unsigned>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& image = drawing.images[i];
        out.push_back(static_cast<std::uint8_t>(image.width & 0xFF)); // 256 is stored as 0
        out.push_back(static_cast<std::uint8_t>(image.height & 0xFF));
        out.push_back(16);
        out.push_back(0);
        // A cursor keeps its hotspot where an icon keeps planes and depth.
        put16(out, cursor ? static_cast<unsigned>(image.hotspot->first) : 1);
        put16(out, cursor ? static_cast<unsigned>(image.hotspot->second) : 4);
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: icongen <drawing.txt> <output.ico|output.cur>\n";
        return 2;
    }
    const std::string inputName = argv[1];
    const std::string outputName = argv[2];
    std::ifstream input(inputName);
    if (!input) {
        std::cerr << inputName << ": cannot open\n";
        return 1;
    }
    try {
        const Drawing drawing = readDrawing(input);
        const bool cursor = endsWith(outputName, ".cur");
        for (const Image& image : drawing.images) {
            if (cursor != image.hotspot.has_value())
                throw Failure(0, cursor ? "every image of a cursor needs a hotspot" : "only cursors have hotspots");
        }
        const std::vector<std::uint8_t> bytes = encodeFile(drawing, cursor);
        std::ofstream output(outputName, std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!output) {
            std::cerr << outputName << ": cannot write\n";
            std::remove(outputName.c_str());
            return 1;
        }
    } catch (const Failure& failure) {
        std::cerr << inputName << (failure.line() > 0 ? ":" + std::to_string(failure.line()) : std::string()) << ": "
                  << failure.message() << "\n";
        return 1;
    }
    return 0;
}
