// The module's resource table against the real compiled images: the
// program's resources (vexlo.rc) as its dialogs, menu, accelerators and
// icons describe them, the test resources for strings, names and both
// template formats, and malformed images and templates, which must be
// refused without reading outside their bytes.
#include "resources/ResourceTable.h"

#include <windows.h>
#include <winapi/host.h>

#include "ResourceImage.h"
#include "TestResourceIds.h"
#include "TestResourceImage.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace winapi::resources;

void useProgramImage()
{
    winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
}

void useTestImage()
{
    winapi::host::setResourceImage(vexloTestResourceImage, vexloTestResourceImageSize);
}

NameOrId number(WORD id)
{
    return NameOrId { id, {} };
}

NameOrId named(const char* name)
{
    return NameOrId { 0, name };
}

std::vector<BYTE> resourceBytes(WORD type, WORD name)
{
    const auto data = findResource(number(type), number(name));
    EXPECT_TRUE(data) << "type " << type << " name " << name;
    return data ? std::vector<BYTE>(data->begin(), data->end()) : std::vector<BYTE> {};
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override { useProgramImage(); }
    void TearDown() override { winapi::host::clearFailures(); }
};

class TestResources : public ::testing::Test {
protected:
    void SetUp() override { useTestImage(); }
    void TearDown() override { winapi::host::clearFailures(); }
};

// ---- The program's resources -------------------------------------------

TEST_F(ProgramResources, EveryResourceIsFoundWithItsData)
{
    struct Case {
        LPCSTR type;
        WORD name;
    };
    const Case cases[] = {
        { RT_DIALOG, IDD_SOLVER },
        { RT_DIALOG, IDD_ABOUT },
        { RT_MENU, IDR_SOLVER_MENU },
        { RT_ACCELERATOR, IDR_ACCELERATORS },
        { RT_GROUP_ICON, IDI_SOLVER },
        { RT_GROUP_ICON, IDI_SOLVER_SMALL },
        { RT_ICON, 1 },
        { RT_ICON, 2 },
        { RT_ICON, 3 },
        { RT_ICON, 4 },
    };
    for (const HMODULE module : { HMODULE {}, GetModuleHandleA(nullptr) }) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "type " << reinterpret_cast<std::uintptr_t>(c.type) << " name " << c.name);
            const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(c.name), c.type);
            ASSERT_NE(found, nullptr);
            const auto expected = findResource(nameOrIdFrom(c.type), number(c.name));
            ASSERT_TRUE(expected);
            ASSERT_GT(expected->size(), 0U);
            EXPECT_EQ(SizeofResource(module, found), expected->size());
            const HGLOBAL loaded = LoadResource(module, found);
            ASSERT_NE(loaded, nullptr);
            EXPECT_EQ(LockResource(loaded), expected->data());
            EXPECT_FALSE(FreeResource(loaded));
        }
    }
    SetLastError(0);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(5), RT_ICON), nullptr) << "icon 1 has 3 images, icon 2 one";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

struct ExpectedItem {
    DWORD id;
    const char* windowClass;
    NameOrId title;
    DWORD style;
    short x, y, cx, cy;
};

void expectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE(testing::Message() << "item " << i << " id " << want.id);
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.windowClass, named(want.windowClass));
        EXPECT_EQ(item.title, want.title);
        EXPECT_EQ(item.style, want.style);
        EXPECT_EQ(item.exStyle, 0U);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_TRUE(item.creationData.empty());
    }
}

// Identifiers of a classic template are 16 bits: -1 is stored as 0xFFFF.
constexpr DWORD noId = 0xFFFF;

TEST_F(ProgramResources, MainDialogTemplateHoldsTheMainWindow)
{
    const auto dialog = parseDialogTemplate(resourceBytes(5, IDD_SOLVER));
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    // Visible, caption, system menu, sizing border, minimize and maximize
    // boxes, set font, 3-D look, context help.
    EXPECT_EQ(dialog->style, 0x10CF2044U);
    EXPECT_EQ(dialog->exStyle, 0U);
    EXPECT_EQ(dialog->x, -32768) << "the default-position marker";
    EXPECT_EQ(dialog->y, 15);
    EXPECT_EQ(dialog->cx, 268);
    EXPECT_EQ(dialog->cy, 185);
    EXPECT_EQ(dialog->menu, number(1));
    EXPECT_EQ(dialog->windowClass, named("VEXLO"));
    EXPECT_EQ(dialog->title, "Tarvix Number Solver");
    EXPECT_TRUE(dialog->hasFont);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->faceName, "MS Sans Serif");

    const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT;
    const DWORD caption = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    const DWORD value = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT;
    const NameOrId none;
    expectItems(*dialog,
        {
            { 101, "EDIT", none, edit, 116, 0, 36, 12 },
            { 110, "EDIT", none, edit, 44, 20, 20, 12 },
            { 111, "EDIT", none, edit, 76, 20, 20, 12 },
            { 112, "EDIT", none, edit, 108, 20, 20, 12 },
            { 113, "EDIT", none, edit, 140, 20, 20, 12 },
            { 114, "EDIT", none, edit, 172, 20, 20, 12 },
            { 115, "EDIT", none, edit, 204, 20, 20, 12 },
            { noId, "STATIC", named("Elapsed time:"), caption, 12, 40, 68, 8 },
            { 120, "STATIC", none, value, 80, 40, 36, 8 },
            { noId, "STATIC", named("Nearest solution:"), caption, 12, 48, 68, 8 },
            { 121, "STATIC", none, value, 80, 48, 36, 8 },
            { noId, "STATIC", named("Solutions found:"), caption, 12, 56, 68, 8 },
            { 122, "STATIC", none, value, 80, 56, 36, 8 },
            { 1, "BUTTON", named("Solve"), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 144, 44, 48, 16 },
            { 2, "BUTTON", named("Stop"), WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON, 144, 44, 48, 16 },
            { 130, "BUTTON", named("&Reset"), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 208, 44, 48, 16 },
            { 102, "LISTBOX", none,
                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 8, 72, 252, 105 },
        });
    // The platform's values behind the names above, for one item of each kind.
    EXPECT_EQ(dialog->items[0].style, 0x50810000U);
    EXPECT_EQ(dialog->items[8].style, 0x50020002U);
    EXPECT_EQ(dialog->items[14].style, 0x48010000U);
    EXPECT_EQ(dialog->items[16].style, 0x50A00101U);
}

TEST_F(ProgramResources, AboutDialogTemplateHoldsTheAboutBox)
{
    const auto dialog = parseDialogTemplate(resourceBytes(5, IDD_ABOUT));
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    // Pop-up, visible, caption, system menu, modal frame, set font, 3-D
    // look, context help.
    EXPECT_EQ(dialog->style, 0x90C820C4U);
    EXPECT_EQ(dialog->x, 6);
    EXPECT_EQ(dialog->y, 15);
    EXPECT_EQ(dialog->cx, 192);
    EXPECT_EQ(dialog->cy, 116);
    EXPECT_TRUE(dialog->menu.empty());
    EXPECT_TRUE(dialog->windowClass.empty());
    EXPECT_EQ(dialog->title, "About Tarvix Number Solver");
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->faceName, "MS Sans Serif");

    ASSERT_EQ(dialog->items.size(), 7U);
    const std::string rights = dialog->items[2].title.name;
    const std::string terms = dialog->items[3].title.name;
    const std::string download = dialog->items[4].title.name;
    const std::string visit = dialog->items[6].title.name;
    const DWORD centred = WS_CHILD | WS_VISIBLE | SS_CENTER;
    expectItems(*dialog,
        {
            { noId, "STATIC", number(IDI_SOLVER), WS_CHILD | WS_VISIBLE | SS_ICON, 12, 8, 18, 20 },
            { noId, "STATIC", named("Tarvix Number Solver\nVersion 1.2"), centred, 40, 8, 144, 16 },
            { noId, "STATIC", named(rights.c_str()), centred, 40, 28, 144, 8 },
            { noId, "STATIC", named(terms.c_str()), centred | WS_GROUP, 40, 44, 144, 8 },
            { noId, "STATIC", named(download.c_str()), centred, 40, 57, 144, 28 },
            { 2, "BUTTON", named("OK"), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 24, 92, 50, 16 },
            { 101, "BUTTON", named(visit.c_str()), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 88, 92, 80, 16 },
        });
    // The texts of our own choosing: a sign, a year and the maker; one line
    // on the terms; the invitation over the address that Visit opens.
    EXPECT_EQ(rights.rfind("Copyright \xA9 20", 0), 0U) << rights;
    EXPECT_NE(terms.find("terms"), std::string::npos) << terms;
    EXPECT_EQ(terms.find('\n'), std::string::npos) << terms;
    const std::size_t lineBreak = download.find('\n');
    ASSERT_NE(lineBreak, std::string::npos) << download;
    EXPECT_NE(std::string(VEXLO_SITE_ADDRESS).find(download.substr(lineBreak + 1)), std::string::npos);
    EXPECT_NE(download.substr(lineBreak + 1).find(".example"), std::string::npos);
    EXPECT_EQ(visit.rfind("&Visit ", 0), 0U) << visit;
}

struct ExpectedMenuItem {
    UINT flags;
    UINT id;
    std::string text;
    std::vector<ExpectedMenuItem> children;
};

void expectMenu(const std::vector<MenuTemplateItem>& items, const std::vector<ExpectedMenuItem>& expected,
    const std::string& path = "")
{
    ASSERT_EQ(items.size(), expected.size()) << path;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string where = path + "/" + std::to_string(i);
        EXPECT_EQ(items[i].flags, expected[i].flags) << where;
        EXPECT_EQ(items[i].id, expected[i].id) << where;
        EXPECT_EQ(items[i].text, expected[i].text) << where;
        expectMenu(items[i].children, expected[i].children, where);
    }
}

TEST_F(ProgramResources, MenuTemplateHoldsTheSolverMenu)
{
    const auto menu = parseMenuTemplate(resourceBytes(4, IDR_SOLVER_MENU));
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->extended);
    expectMenu(menu->items,
        { { MF_POPUP, 0, "&Solver",
            {
                { MF_POPUP, 0, "&Random Puzzle",
                    {
                        { 0, 200, "&0 Big Numbers", {} },
                        { 0, 201, "&1 Big Numbers", {} },
                        { 0, 202, "&2 Big Numbers", {} },
                        { 0, 203, "&3 Big Numbers", {} },
                        { 0, 204, "&4 Big Numbers", {} },
                        { 0, 205, "&Fully Random", {} },
                    } },
                { MF_GRAYED, 24323, "&Copy Solutions\tCtrl+C", {} },
                { MF_SEPARATOR, 0, "", {} },
                { 0, 24340, "E&xit", {} },
                { 0, 24346, "A&bout...", {} },
            } } });
    ASSERT_EQ(menu->items.size(), 1U);
    ASSERT_EQ(menu->items[0].children.size(), 5U);
    EXPECT_EQ(menu->items[0].children[1].state, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(menu->items[0].children[2].type, static_cast<UINT>(MFT_SEPARATOR));
}

TEST_F(ProgramResources, AcceleratorTableCopiesWithCtrlCAndCtrlInsert)
{
    const auto table = parseAcceleratorTable(resourceBytes(9, IDR_ACCELERATORS));
    ASSERT_TRUE(table);
    const std::vector<AcceleratorEntry> expected {
        { 0, 3, 24323 },
        { FVIRTKEY | FCONTROL, 45, 24323 },
    };
    EXPECT_EQ(*table, expected);
}

TEST_F(ProgramResources, IconGroupsPickTheNearestImage)
{
    struct Case {
        WORD group;
        int width, height;
        int expectedSize;
        WORD expectedImage;
    };
    const int standard = GetSystemMetrics(SM_CXICON);
    const Case cases[] = {
        { 1, 32, 32, 32, 1 },
        { 1, 64, 64, 64, 2 },
        { 1, 16, 16, 16, 3 },
        { 1, 40, 40, 32, 1 },
        { 1, 20, 20, 16, 3 },
        { 1, 100, 100, 64, 2 },
        { 1, 48, 48, 64, 2 }, // as near to 32 as to 64: the larger wins
        { 1, 0, 0, standard, static_cast<WORD>(standard == 32 ? 1 : standard == 64 ? 2 : 3) },
        { 2, 32, 32, 16, 4 },
        { 2, 0, 0, 16, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "group " << c.group << " at " << c.width << "x" << c.height);
        const auto image = findIconImage(number(c.group), c.width, c.height, false);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, c.expectedSize);
        EXPECT_EQ(image->height, c.expectedSize);
        EXPECT_EQ(image->bitCount, 4);
        EXPECT_EQ(image->imageId, c.expectedImage);
        const auto data = findResource(number(3), number(c.expectedImage));
        ASSERT_TRUE(data);
        EXPECT_EQ(image->data.data(), data->data());
        EXPECT_EQ(image->data.size(), data->size());
    }
}

// A text drawing of resources/icons: its legend and its pixel grids.
struct Drawing {
    std::map<char, std::optional<DWORD>> legend; // nullopt: transparent
    std::vector<std::vector<std::string>> images;
};

Drawing readDrawing(const std::string& path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    Drawing drawing;
    std::string line;
    bool inLegend = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (first == "palette") {
            inLegend = true;
        } else if (first == "image") {
            inLegend = false;
            const int height = std::stoi(line.substr(line.rfind(' ') + 1));
            drawing.images.emplace_back();
            for (int row = 0; row < height && std::getline(in, line); ++row)
                drawing.images.back().push_back(line);
        } else if (inLegend) {
            drawing.legend[first[0]] = second == "transparent" ? std::nullopt
                                                                : std::optional<DWORD>(std::stoul(second, nullptr, 16));
        }
    }
    return drawing;
}

// The colour (0xRRGGBB) of a pixel of a 4-bit icon image, or nothing where
// its mask leaves the screen showing through.
std::optional<DWORD> pixelOf(std::span<const BYTE> image, int x, int y)
{
    const auto dword = [&](std::size_t at) {
        return static_cast<DWORD>(image[at] | image[at + 1] << 8 | image[at + 2] << 16 | image[at + 3] << 24);
    };
    const int width = static_cast<int>(dword(4));
    const int height = static_cast<int>(dword(8)) / 2;
    const std::size_t colourStride = static_cast<std::size_t>((width * 4 + 31) / 32 * 4);
    const std::size_t maskStride = static_cast<std::size_t>((width + 31) / 32 * 4);
    const std::size_t palette = dword(0);
    const std::size_t colours = palette + 16 * 4;
    const std::size_t mask = colours + colourStride * static_cast<std::size_t>(height);
    const auto row = static_cast<std::size_t>(height - 1 - y); // bottom-up
    if (image[mask + row * maskStride + static_cast<std::size_t>(x / 8)] & (0x80 >> (x % 8)))
        return std::nullopt;
    const BYTE pair = image[colours + row * colourStride + static_cast<std::size_t>(x / 2)];
    const std::size_t index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
    const std::size_t entry = palette + index * 4;
    return static_cast<DWORD>(image[entry + 2] << 16 | image[entry + 1] << 8 | image[entry]);
}

TEST_F(ProgramResources, IconImagesShowTheirDrawings)
{
    struct Case {
        const char* drawing;
        WORD group;
    };
    for (const Case& c : { Case { "vexlo.txt", 1 }, Case { "vexlo-small.txt", 2 } }) {
        const Drawing drawing = readDrawing(std::string(VEXLO_SOURCE_DIR "/resources/icons/") + c.drawing);
        ASSERT_FALSE(drawing.images.empty()) << c.drawing;
        for (const auto& grid : drawing.images) {
            const int size = static_cast<int>(grid.size());
            const auto image = findIconImage(number(c.group), size, size, false);
            ASSERT_TRUE(image) << c.drawing << " " << size;
            ASSERT_EQ(image->width, size);
            int mismatches = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const auto want = drawing.legend.at(grid[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
                    if (pixelOf(image->data, x, y) != want && ++mismatches <= 3)
                        ADD_FAILURE() << c.drawing << " " << size << "x" << size << " pixel " << x << "," << y;
                }
            }
            EXPECT_EQ(mismatches, 0) << c.drawing << " " << size;
        }
    }
}

// ---- Strings, names and the calls' failures -----------------------------

TEST_F(TestResources, LoadStringGivesEachTextOrItsFailure)
{
    struct Case {
        UINT id;
        std::optional<std::string> text; // nothing: the call fails
        DWORD error;                      // the last-error code after the call
    };
    const Case cases[] = {
        { IDS_LENGTH_30, "Text of 30 characters ........", 12345 },
        { IDS_LENGTH_31, "Text of 31 characters .........", 12345 },
        { IDS_LENGTH_63, "Text of 63 characters " + std::string(41, '.'), 12345 },
        { IDS_LENGTH_100, "Text of 100 characters " + std::string(77, '.'), 12345 },
        { IDS_ANSI, "a\xD7"
                    "b\xF7"
                    "c \xE9",
            12345 },
        { IDS_NOT_ANSI, "Zhe ? end", 12345 },
        { IDS_FAR_BLOCK, "Far block", 12345 },
        { IDS_EMPTY, "", ERROR_SUCCESS },
        { IDS_UNSET, "", ERROR_SUCCESS },
        { IDS_MISSING, std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
        { 0x10010, std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
    };
    for (const Case& c : cases) {
        char buffer[256];
        std::memset(buffer, 'X', sizeof buffer);
        SetLastError(12345);
        const int length = LoadStringA(GetModuleHandleA(nullptr), c.id, buffer, sizeof buffer);
        EXPECT_EQ(GetLastError(), c.error) << c.id;
        const std::string expected = c.text.value_or("");
        EXPECT_EQ(length, static_cast<int>(expected.size())) << c.id;
        EXPECT_EQ(std::string(buffer), expected) << c.id;
        EXPECT_EQ(findString(c.id), c.text) << c.id;
    }
}

TEST_F(TestResources, LoadStringCopiesAtMostTheBufferLessOne)
{
    struct Case {
        int bufferMax;
        int expected; // -1: refused with ERROR_INVALID_PARAMETER, buffer untouched
    };
    const Case cases[] = { { 64, 30 }, { 31, 30 }, { 30, 29 }, { 2, 1 }, { 1, 0 }, { 0, -1 }, { -5, -1 } };
    const std::string text = *findString(IDS_LENGTH_30);
    for (const Case& c : cases) {
        char buffer[80];
        std::memset(buffer, 'X', sizeof buffer);
        SetLastError(12345);
        const int length = LoadStringA(nullptr, IDS_LENGTH_30, buffer + 8, c.bufferMax);
        if (c.expected < 0) {
            EXPECT_EQ(length, 0) << c.bufferMax;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.bufferMax;
            EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'X')) << c.bufferMax;
            continue;
        }
        EXPECT_EQ(length, c.expected) << c.bufferMax;
        EXPECT_EQ(std::string(buffer + 8), text.substr(0, static_cast<std::size_t>(c.expected))) << c.bufferMax;
        EXPECT_EQ(std::string(buffer, 8), std::string(8, 'X')) << "nothing before the buffer";
        EXPECT_EQ(buffer[8 + c.bufferMax], 'X') << "nothing after the buffer: " << c.bufferMax;
    }
    EXPECT_EQ(LoadStringA(nullptr, IDS_LENGTH_30, nullptr, 10), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(TestResources, NamesAndTypesAsNumbersOrTexts)
{
    struct Case {
        LPCSTR name;
        LPCSTR type;
        std::optional<std::string> data; // nothing: not found
        DWORD error;
    };
    const Case cases[] = {
        { "NAMED", "BLOB", "abc", 0 },
        { "named", "Blob", "abc", 0 },
        { "#5", RT_RCDATA, std::string("five", 4), 0 },
        { MAKEINTRESOURCEA(5), "#10", std::string("five", 4), 0 },
        { "#05", RT_RCDATA, std::string("five", 4), 0 },
        { "#0", RT_RCDATA, std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "#65541", RT_RCDATA, std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "#x", RT_RCDATA, std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "OTHER", "BLOB", std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
        { "NAMED", "BLOBS", std::nullopt, ERROR_RESOURCE_TYPE_NOT_FOUND },
        { MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(99), std::nullopt, ERROR_RESOURCE_TYPE_NOT_FOUND },
        { MAKEINTRESOURCEA(77), RT_DIALOG, std::nullopt, ERROR_RESOURCE_NAME_NOT_FOUND },
    };
    for (const Case& c : cases) {
        const std::string label = IS_INTRESOURCE(c.name) ? "#" + std::to_string(reinterpret_cast<std::uintptr_t>(c.name))
                                                         : std::string(c.name);
        SetLastError(0);
        const HRSRC found = FindResourceA(nullptr, c.name, c.type);
        if (!c.data) {
            EXPECT_EQ(found, nullptr) << label;
            EXPECT_EQ(GetLastError(), c.error) << label;
            continue;
        }
        ASSERT_NE(found, nullptr) << label;
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(bytes, nullptr) << label;
        EXPECT_EQ(std::string(bytes, SizeofResource(nullptr, found)), *c.data) << label;
    }
}

TEST(ResourceNames, CallParametersAsNamesOrNumbers)
{
    struct Case {
        LPCSTR value;
        NameOrId expected;
    };
    const Case cases[] = {
        { MAKEINTRESOURCEA(5), number(5) },
        { "#12", number(12) },
        { "#65535", number(65535) },
        { "#65536", named("#65536") },
        { "#0", named("#0") },
        { "#", named("#") },
        { "abc", named("ABC") },
        { "Vexlo", named("VEXLO") },
        { "\xE9t\xE9\xFF", named("\xC9T\xC9\x9F") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameOrIdFrom(c.value), c.expected) << (IS_INTRESOURCE(c.value) ? "number" : c.value);
}

TEST(ResourceFailures, EachFailureSetsThePlatformsCode)
{
    useTestImage();
    const HMODULE stranger = reinterpret_cast<HMODULE>(std::uintptr_t { 0x12340000 });
    char buffer[16];

    SetLastError(0);
    EXPECT_EQ(FindResourceA(stranger, MAKEINTRESOURCEA(5), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(LoadStringA(reinterpret_cast<HINSTANCE>(stranger), IDS_FAR_BLOCK, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(5), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    SetLastError(0);
    EXPECT_EQ(SizeofResource(stranger, found), 0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    for (const HRSRC bogus : { HRSRC {}, reinterpret_cast<HRSRC>(std::uintptr_t { 0x80010099 }),
             reinterpret_cast<HRSRC>(std::uintptr_t { 0x40010001 }) }) {
        SetLastError(0);
        EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }

    // A handle of an earlier image goes stale when another image is set.
    useProgramImage();
    SetLastError(0);
    EXPECT_EQ(SizeofResource(nullptr, found), 0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // No image at all: the module has no resources.
    winapi::host::setResourceImage(nullptr, 0);
    SetLastError(0);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(LoadStringA(nullptr, IDS_FAR_BLOCK, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_FALSE(findIconImage(number(1), 32, 32, false));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST(ResourceFailures, InjectedFailuresFailOnceWithTheArmedCode)
{
    useTestImage();
    struct Case {
        const char* operation;
        bool (*call)();
    };
    static HRSRC found;
    found = FindResourceA(nullptr, MAKEINTRESOURCEA(5), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    const Case cases[] = {
        { "LoadStringA",
            [] {
                char buffer[32];
                return LoadStringA(nullptr, IDS_FAR_BLOCK, buffer, sizeof buffer) != 0;
            } },
        { "FindResourceA", [] { return FindResourceA(nullptr, MAKEINTRESOURCEA(5), RT_RCDATA) != nullptr; } },
        { "LoadResource", [] { return LoadResource(nullptr, found) != nullptr; } },
        { "SizeofResource", [] { return SizeofResource(nullptr, found) != 0; } },
    };
    for (const Case& c : cases) {
        winapi::host::ScopedFailure failure(c.operation, 1, ERROR_NOT_ENOUGH_MEMORY);
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.operation;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << c.operation;
        EXPECT_TRUE(c.call()) << c.operation << " succeeds again";
    }
}

// ---- Templates of the test resources ------------------------------------

TEST_F(TestResources, ExtendedAndPlainDialogTemplates)
{
    const auto extended = parseDialogTemplate(resourceBytes(5, IDD_TEST_EXTENDED));
    ASSERT_TRUE(extended);
    EXPECT_TRUE(extended->extended);
    EXPECT_EQ(extended->helpId, 99U);
    EXPECT_EQ(extended->exStyle, static_cast<DWORD>(WS_EX_TOPMOST));
    EXPECT_EQ(extended->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(extended->x, 10);
    EXPECT_EQ(extended->y, 20);
    EXPECT_EQ(extended->cx, 100);
    EXPECT_EQ(extended->cy, 50);
    EXPECT_EQ(extended->menu, named("TESTMENU"));
    EXPECT_EQ(extended->windowClass, named("TESTCLASS"));
    EXPECT_EQ(extended->title, "Extended");
    EXPECT_TRUE(extended->hasFont);
    EXPECT_EQ(extended->pointSize, 9);
    EXPECT_EQ(extended->weight, 700);
    EXPECT_EQ(extended->italic, 1);
    EXPECT_EQ(extended->charset, 2);
    EXPECT_EQ(extended->faceName, "Test Face");

    struct Item {
        DWORD helpId, exStyle, style;
        short x, y;
        DWORD id;
        NameOrId windowClass, title;
        std::vector<BYTE> creationData;
    };
    const Item items[] = {
        { 1234, WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 1, 2, 5, named("BUTTON"), named("Go"), {} },
        { 0, 0, WS_CHILD | WS_VISIBLE, 1, 20, 6, named("CUSTOM"), NameOrId {}, { 1, 0, 2, 0, 3, 0 } },
        { 0, 0, WS_CHILD | WS_VISIBLE | SS_ICON, -3, -4, 0xFFFFFFFF, named("STATIC"), number(7), {} },
        { 0, 0, WS_CHILD | WS_VISIBLE | SBS_VERT, 40, 2, 8, named("SCROLLBAR"), NameOrId {}, {} },
        { 0, 0, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 50, 2, 9, named("COMBOBOX"), NameOrId {}, {} },
    };
    ASSERT_EQ(extended->items.size(), std::size(items));
    for (std::size_t i = 0; i < std::size(items); ++i) {
        const DialogItemTemplate& got = extended->items[i];
        EXPECT_EQ(got.helpId, items[i].helpId) << i;
        EXPECT_EQ(got.exStyle, items[i].exStyle) << i;
        EXPECT_EQ(got.style, items[i].style) << i;
        EXPECT_EQ(got.x, items[i].x) << i;
        EXPECT_EQ(got.y, items[i].y) << i;
        EXPECT_EQ(got.id, items[i].id) << i;
        EXPECT_EQ(got.windowClass, items[i].windowClass) << i;
        EXPECT_EQ(got.title, items[i].title) << i;
        EXPECT_EQ(got.creationData, items[i].creationData) << i;
    }

    const auto plain = parseDialogTemplate(resourceBytes(5, IDD_TEST_PLAIN));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->extended);
    EXPECT_FALSE(plain->hasFont);
    EXPECT_EQ(plain->faceName, "");
    EXPECT_TRUE(plain->menu.empty());
    EXPECT_TRUE(plain->windowClass.empty());
    EXPECT_EQ(plain->title, "");
    ASSERT_EQ(plain->items.size(), 1U);
    EXPECT_EQ(plain->items[0].windowClass, named("EDIT"));
    EXPECT_EQ(plain->items[0].title, named("Text"));
    EXPECT_EQ(plain->items[0].id, 100U);
    EXPECT_EQ(plain->items[0].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | ES_MULTILINE));
}

TEST_F(TestResources, ExtendedAndPlainMenuTemplates)
{
    const auto extended = parseMenuTemplate(resourceBytes(4, IDR_TEST_MENU_EXTENDED));
    ASSERT_TRUE(extended);
    EXPECT_TRUE(extended->extended);
    expectMenu(extended->items,
        {
            { MF_POPUP, 100, "&File",
                {
                    { MF_CHECKED, 101, "&Open", {} },
                    { MF_SEPARATOR, 0, "", {} },
                    { MFT_RADIOCHECK | MF_GRAYED | MF_DISABLED | MF_DEFAULT, 103, "&Quit", {} },
                } },
            { MF_RIGHTJUSTIFY, 102, "&Help", {} },
        });
    ASSERT_EQ(extended->items.size(), 2U);
    const MenuTemplateItem& file = extended->items[0];
    EXPECT_EQ(file.helpId, 77U);
    ASSERT_EQ(file.children.size(), 3U);
    EXPECT_EQ(file.children[0].state, static_cast<UINT>(MFS_CHECKED));
    EXPECT_EQ(file.children[1].type, static_cast<UINT>(MFT_SEPARATOR));
    EXPECT_EQ(file.children[2].type, static_cast<UINT>(MFT_RADIOCHECK));
    EXPECT_EQ(file.children[2].state, static_cast<UINT>(MFS_GRAYED | MFS_DEFAULT));

    const auto plain = parseMenuTemplate(resourceBytes(4, IDR_TEST_MENU_PLAIN));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->extended);
    expectMenu(plain->items,
        {
            { MF_POPUP | MF_GRAYED, 0, "&Edit",
                {
                    { MF_CHECKED, 201, "&Undo", {} },
                    { MF_SEPARATOR, 0, "", {} },
                    { MF_MENUBARBREAK | MF_DISABLED, 202, "&Wrap", {} },
                } },
            { MF_HELP, 203, "&About", {} },
        });
    ASSERT_EQ(plain->items.size(), 2U);
    EXPECT_EQ(plain->items[0].state, static_cast<UINT>(MF_GRAYED));
    ASSERT_EQ(plain->items[0].children.size(), 3U);
    EXPECT_EQ(plain->items[0].children[2].type, static_cast<UINT>(MFT_MENUBARBREAK));
    EXPECT_EQ(plain->items[0].children[2].state, static_cast<UINT>(MF_DISABLED));
}

TEST_F(TestResources, AcceleratorTableKeepsEveryFlag)
{
    const auto table = parseAcceleratorTable(resourceBytes(9, IDR_TEST_ACCELERATORS));
    ASSERT_TRUE(table);
    const std::vector<AcceleratorEntry> expected {
        { 0, 1, 301 },
        { 0, 'a', 302 },
        { FVIRTKEY | FSHIFT | FALT | FNOINVERT, VK_F5, 303 },
        { FVIRTKEY | FCONTROL, 'K', 304 },
    };
    EXPECT_EQ(*table, expected);
}

TEST_F(TestResources, CursorGroupsPickTheNearestImageWithItsHotspot)
{
    struct Case {
        int size;
        int expectedSize;
        WORD hotspot;
    };
    const int standard = GetSystemMetrics(SM_CXCURSOR);
    const Case cases[] = { { 32, 32, 1 }, { 16, 16, 0 }, { 20, 16, 0 }, { 30, 32, 1 },
        { 0, standard >= 24 ? 32 : 16, static_cast<WORD>(standard >= 24 ? 1 : 0) } };
    for (const Case& c : cases) {
        const auto image = findIconImage(number(IDC_TEST_POINTER), c.size, c.size, true);
        ASSERT_TRUE(image) << c.size;
        EXPECT_EQ(image->width, c.expectedSize) << c.size;
        EXPECT_EQ(image->height, c.expectedSize) << c.size;
        EXPECT_EQ(image->bitCount, 4) << c.size;
        ASSERT_GE(image->data.size(), 4U);
        EXPECT_EQ(image->data[0] | image->data[1] << 8, c.hotspot) << c.size;
        EXPECT_EQ(image->data[2] | image->data[3] << 8, c.hotspot) << c.size;
    }
    SetLastError(0);
    EXPECT_FALSE(findIconImage(number(IDC_TEST_POINTER), 32, 32, false)) << "a cursor is no icon";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST(ResourceTexts, Windows1252WithQuestionMarksForTheRest)
{
    struct Case {
        std::u16string text;
        std::string expected;
    };
    const Case cases[] = {
        { u"plain", "plain" },
        { u"\u00D7\u00F7\u00E9\u00FF\u00A0", "\xD7\xF7\xE9\xFF\xA0" },
        { u"\u20AC\u201A\u0192\u2026\u2122\u0178", "\x80\x82\x83\x85\x99\x9F" },
        { u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D" },
        { u"\u0080\u009F", "??" },
        { u"\u0416\u4E2D", "??" },
        { u"a\U0001F600b", "a?b" },
        { std::u16string(u"x") + char16_t(0xD800) + u"y", "x?y" },
        { std::u16string(u"z") + char16_t(0xDC00), "z?" },
        { std::u16string(u"a\0b", 3), std::string("a\0b", 3) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(toAnsi(c.text), c.expected) << c.expected;
}

// ---- Malformed images and templates --------------------------------------

// Offsets of the resource entries in an image: where each starts and where
// its header and data end.
struct EntryBounds {
    std::size_t start, headerEnd, dataEnd;
};

std::vector<EntryBounds> entryBounds(const std::vector<BYTE>& image)
{
    std::vector<EntryBounds> bounds;
    std::size_t at = 0;
    while (at + 8 <= image.size()) {
        const auto dword = [&](std::size_t i) {
            return static_cast<std::size_t>(image[i] | image[i + 1] << 8 | image[i + 2] << 16 | image[i + 3] << 24);
        };
        const EntryBounds entry { at, at + dword(at + 4), at + dword(at + 4) + dword(at) };
        bounds.push_back(entry);
        at = (entry.dataEnd + 3) / 4 * 4;
    }
    return bounds;
}

bool imageAccepted(const std::vector<BYTE>& image)
{
    winapi::host::setResourceImage(image.data(), image.size());
    SetLastError(0);
    const bool accepted = FindResourceA(nullptr, MAKEINTRESOURCEA(5), RT_RCDATA) != nullptr
        || GetLastError() != static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND);
    // Whatever was accepted must be looked through without a fault.
    for (WORD type : { 1, 3, 4, 5, 6, 9, 10, 12, 14 }) {
        for (WORD name = 1; name < 12; ++name) {
            if (const auto data = findResource(number(type), number(name))) {
                EXPECT_GE(data->data(), image.data());
                EXPECT_LE(data->data() + data->size(), image.data() + image.size());
            }
        }
    }
    findIconImage(number(1), 32, 32, true);
    findString(IDS_LENGTH_100);
    // The layer keeps the bytes it is given; these go away with the caller.
    winapi::host::setResourceImage(nullptr, 0);
    return accepted;
}

TEST(ResourceImage, MalformedImagesAreRefusedAsAWhole)
{
    const std::vector<BYTE> whole(vexloTestResourceImage, vexloTestResourceImage + vexloTestResourceImageSize);
    const std::vector<EntryBounds> bounds = entryBounds(whole);
    ASSERT_GE(bounds.size(), 4U);
    const EntryBounds& second = bounds[1]; // the first real entry: a named one
    const EntryBounds& last = bounds.back();

    const auto putDword = [](std::vector<BYTE>& image, std::size_t at, DWORD value) {
        for (int i = 0; i < 4; ++i)
            image[at + static_cast<std::size_t>(i)] = static_cast<BYTE>(value >> (8 * i));
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<BYTE>&)> damage;
    };
    const Case cases[] = {
        { "cut inside an entry's sizes", [&](auto& image) { image.resize(second.start + 6); } },
        { "cut inside an entry's type", [&](auto& image) { image.resize(second.start + 12); } },
        { "cut inside an entry's header", [&](auto& image) { image.resize(second.headerEnd - 2); } },
        { "cut inside an entry's data", [&](auto& image) { image.resize(second.headerEnd + 1); } },
        { "cut one byte short of the last data", [&](auto& image) { image.resize(last.dataEnd - 1); } },
        { "header size too small", [&](auto& image) { putDword(image, second.start + 4, 8); } },
        { "header size not a multiple of 4", [&](auto& image) { putDword(image, second.start + 4, 49); } },
        { "header size past the end", [&](auto& image) { putDword(image, second.start + 4, 0x7FFFFFF0); } },
        { "data size past the end", [&](auto& image) { putDword(image, second.start, 0xFFFFFFF0); } },
        { "type text without its end",
            [&](auto& image) {
                for (std::size_t i = second.start + 8; i < second.headerEnd; ++i)
                    image[i] = 'A';
            } },
    };
    for (const Case& c : cases) {
        std::vector<BYTE> image = whole;
        c.damage(image);
        EXPECT_FALSE(imageAccepted(image)) << c.what;
    }

    // Every cut either is refused or keeps only resources that lie within
    // it; only the cuts at an entry's end are images of their own.
    std::size_t accepted = 0;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const std::vector<BYTE> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        if (imageAccepted(cut))
            ++accepted;
    }
    EXPECT_LE(accepted, bounds.size() * 4);
    EXPECT_TRUE(imageAccepted(whole));
}

TEST(ResourceTemplates, TruncatedTemplatesAreRefused)
{
    struct Case {
        bool program;
        WORD type, name;
    };
    const Case cases[] = {
        { true, 5, IDD_SOLVER },
        { true, 5, IDD_ABOUT },
        { true, 4, IDR_SOLVER_MENU },
        { true, 9, IDR_ACCELERATORS },
        { false, 5, IDD_TEST_EXTENDED },
        { false, 5, IDD_TEST_PLAIN },
        { false, 4, IDR_TEST_MENU_EXTENDED },
        { false, 4, IDR_TEST_MENU_PLAIN },
        { false, 9, IDR_TEST_ACCELERATORS },
    };
    for (const Case& c : cases) {
        c.program ? useProgramImage() : useTestImage();
        const std::vector<BYTE> whole = resourceBytes(c.type, c.name);
        SCOPED_TRACE(testing::Message() << "type " << c.type << " name " << c.name);
        std::size_t accepted = 0;
        for (std::size_t length = 0; length < whole.size(); ++length) {
            // An exact copy, so that reading past the cut is a fault.
            const std::vector<BYTE> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            bool parsed = false;
            if (c.type == 5) {
                const auto dialog = parseDialogTemplate(cut);
                parsed = dialog.has_value();
                if (dialog) {
                    EXPECT_EQ(*dialog, *parseDialogTemplate(whole)) << length;
                }
            } else if (c.type == 4) {
                const auto menu = parseMenuTemplate(cut);
                parsed = menu.has_value();
                if (menu) {
                    EXPECT_EQ(*menu, *parseMenuTemplate(whole)) << length;
                }
            } else {
                parsed = parseAcceleratorTable(cut).has_value();
            }
            accepted += parsed;
        }
        // Only the padding after the last text may be missing.
        EXPECT_LE(accepted, 3U);
    }
}

TEST(ResourceTemplates, MalformedTemplatesAreRefused)
{
    const auto words = [](std::initializer_list<WORD> values) {
        std::vector<BYTE> bytes;
        for (const WORD value : values) {
            bytes.push_back(static_cast<BYTE>(value & 0xFF));
            bytes.push_back(static_cast<BYTE>(value >> 8));
        }
        return bytes;
    };
    const auto nestedMenu = [&](int depth) {
        std::vector<BYTE> bytes = words({ 0, 0 });
        for (int i = 0; i < depth; ++i) {
            const auto popup = words({ MF_POPUP | MF_END, 'P', 0 });
            bytes.insert(bytes.end(), popup.begin(), popup.end());
        }
        const auto last = words({ MF_END, 7, 'x', 0 });
        bytes.insert(bytes.end(), last.begin(), last.end());
        return bytes;
    };
    EXPECT_TRUE(parseMenuTemplate(nestedMenu(8)));
    EXPECT_FALSE(parseMenuTemplate(nestedMenu(5000))) << "nesting without end is refused, not recursed into";
    EXPECT_FALSE(parseMenuTemplate(words({ 2, 0, MF_END, 7, 'x', 0 }))) << "unknown version";
    EXPECT_FALSE(parseMenuTemplate(words({ 0, 0xFFFF, MF_END, 7, 'x', 0 }))) << "items past the end";

    // A classic dialog with one edit item followed by a creation data count
    // and one word of data: a count of 4 takes the word, of 1 cannot count
    // its own two bytes, of 6 runs past the end.
    const auto dialogWith = [&](WORD dataCount) {
        return words({ /* style */ 0, 0, /* extended style */ 0, 0, /* items */ 1, /* x, y, cx, cy */ 0, 0, 10, 10,
            /* menu, class, title */ 0, 0, 0,
            /* item style */ 0, 0, /* extended style */ 0, 0, /* x, y, cx, cy */ 0, 0, 5, 5, /* id */ 1,
            /* class */ 0xFFFF, 0x81, /* title */ 0, dataCount, 0x1234 });
    };
    EXPECT_TRUE(parseDialogTemplate(dialogWith(0)));
    const auto withData = parseDialogTemplate(dialogWith(4));
    ASSERT_TRUE(withData);
    ASSERT_EQ(withData->items.size(), 1U);
    EXPECT_EQ(withData->items[0].creationData, (std::vector<BYTE> { 0x34, 0x12 }));
    EXPECT_FALSE(parseDialogTemplate(dialogWith(1)));
    EXPECT_FALSE(parseDialogTemplate(dialogWith(6)));

    EXPECT_FALSE(parseAcceleratorTable(words({ 0, 'a', 1, 0, 0, 'b', 2, 0 }))) << "no entry marked last";
    EXPECT_FALSE(parseAcceleratorTable({}));
}

TEST(ResourceImage, LookupsRaceImageChangesSafely)
{
    useTestImage();
    std::atomic<bool> done { false };
    std::thread changer([&] {
        for (int i = 0; i < 300; ++i)
            i % 2 ? useTestImage() : useProgramImage();
        done = true;
    });
    // Each lookup sees one whole image: the string only the test image has
    // comes out whole or not at all.
    while (!done) {
        char buffer[64];
        const int length = LoadStringA(nullptr, IDS_FAR_BLOCK, buffer, sizeof buffer);
        EXPECT_TRUE(length == 0 || std::string(buffer) == "Far block");
        findIconImage(number(1), 32, 32, false);
        if (const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_DIALOG))
            SizeofResource(nullptr, found);
    }
    changer.join();
}

}
