// The EDIT class: single-line and multi-line edit boxes.
//
// What a box accepts, in order, whenever text is inserted by the user, by
// EM_REPLACESEL or from the clipboard:
//  1. A single-line box takes the text up to its first line break.
//  2. ES_UPPERCASE and ES_LOWERCASE convert it; ES_NUMBER lets only digits
//     be typed.
//  3. The text limit (EM_LIMITTEXT) cuts what would exceed it.
//  4. A single-line box without ES_AUTOHSCROLL takes no more than fits in
//     the width of its formatting rectangle, measured with its font; a
//     multi-line box without ES_AUTOVSCROLL no more lines than it shows.
//  5. What was cut is reported with EN_MAXTEXT; a change is followed by
//     EN_UPDATE and EN_CHANGE.
// WM_SETTEXT ignores the limit, as the platform's does, but a single-line
// box without ES_AUTOHSCROLL refuses (FALSE) a text wider than itself:
// such a box cannot scroll, so the rest could be neither seen nor edited.
//
// Painting is the seam where the text will be drawn once device contexts
// exist; all geometry (what fits, the caret, lines, scrolling) is already
// computed from the font's measures.
#include "controls/ControlSupport.h"
#include "controls/EditText.h"
#include "controls/StandardControls.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

namespace winapi::controls {
namespace {

// The limit of a new box, as the platform gives it.
constexpr std::size_t defaultLimit = 30000;
constexpr std::size_t singleLineMaximum = 0x7FFFFFFE;
constexpr std::size_t multiLineMaximum = 0xFFFFFFFF;

struct EditState {
    HWND window { nullptr };
    EditText text;
    FontMetrics font;
    std::size_t limit { defaultLimit };
    bool modified { false };
    char passwordChar { 0 };
    bool softBreaks { false };
    int leftMargin { 0 };
    int rightMargin { 0 };
    RECT format {};           // the formatting rectangle, client coordinates
    bool formatGiven { false }; // set by EM_SETRECT, kept across resizing
    std::size_t firstLine { 0 }; // multi-line: the top line shown
    std::size_t firstChar { 0 }; // single-line: the first character shown
    int scrollX { 0 };          // multi-line without wrapping: pixels scrolled
    int goalX { -1 };           // the column Up and Down keep
    bool focused { false };
    bool tracking { false };    // a mouse selection in progress
};

StateTable<EditState>& states()
{
    static StateTable<EditState> table;
    return table;
}

struct Style {
    explicit Style(DWORD bits)
        : bits(bits)
    {
    }
    bool multiline() const { return bits & ES_MULTILINE; }
    bool autoHScroll() const { return bits & ES_AUTOHSCROLL; }
    bool autoVScroll() const { return bits & ES_AUTOVSCROLL; }
    bool readOnly() const { return bits & ES_READONLY; }
    bool password() const { return !multiline() && (bits & ES_PASSWORD); }
    int alignment() const { return static_cast<int>(bits & (ES_CENTER | ES_RIGHT)); }
    DWORD bits;
};

int formatWidth(const EditState& s)
{
    return std::max(0, static_cast<int>(s.format.right - s.format.left));
}

std::size_t visibleLines(const EditState& s)
{
    const int height = static_cast<int>(s.format.bottom - s.format.top);
    return static_cast<std::size_t>(std::max(1, height / s.font.height()));
}

EditLayoutOptions layoutOptions(const EditState& s, Style style)
{
    EditLayoutOptions options;
    options.multiline = style.multiline();
    options.wrap = style.multiline() && !style.autoHScroll();
    options.passwordChar = style.password() ? s.passwordChar : 0;
    options.wrapWidth = formatWidth(s);
    return options;
}

void computeFormat(EditState& s)
{
    if (s.formatGiven)
        return;
    RECT client {};
    GetClientRect(s.window, &client);
    s.format = { client.left + s.leftMargin, client.top, std::max(client.left + s.leftMargin, client.right - s.rightMargin),
        client.bottom };
}

void relayout(EditState& s, Style style)
{
    s.text.layout(s.font, layoutOptions(s, style));
    const std::size_t lines = s.text.lines().size();
    if (s.firstLine >= lines)
        s.firstLine = lines - 1;
    if (s.firstChar > s.text.length())
        s.firstChar = s.text.length();
}

// Where a line's text starts in client coordinates, alignment and
// horizontal scrolling included.
int lineLeft(const EditState& s, Style style, std::size_t line)
{
    const int free = formatWidth(s) - s.text.lineWidth(s.font, line);
    int left = s.format.left;
    if (free > 0) {
        if (style.alignment() == ES_CENTER)
            left += free / 2;
        else if (style.alignment() == ES_RIGHT)
            left += free;
    }
    if (style.multiline())
        return left - s.scrollX;
    return left - s.text.xInLine(s.font, 0, s.firstChar);
}

POINT positionPoint(const EditState& s, Style style, std::size_t position)
{
    const std::size_t line = s.text.lineOf(position);
    const int x = lineLeft(s, style, line) + s.text.xInLine(s.font, line, position);
    const int row = static_cast<int>(line) - static_cast<int>(style.multiline() ? s.firstLine : 0);
    return { x, static_cast<LONG>(s.format.top + row * s.font.height()) };
}

std::size_t positionFromPoint(const EditState& s, Style style, POINT point)
{
    std::size_t line = 0;
    if (style.multiline()) {
        const int row = point.y >= s.format.top ? (point.y - s.format.top) / s.font.height()
                                                : -((s.format.top - point.y + s.font.height() - 1) / s.font.height());
        const long long wanted = static_cast<long long>(s.firstLine) + row;
        line = static_cast<std::size_t>(
            std::clamp<long long>(wanted, 0, static_cast<long long>(s.text.lines().size()) - 1));
    }
    return s.text.positionAtX(s.font, line, point.x - lineLeft(s, style, line));
}

void placeCaret(const EditState& s, Style style)
{
    if (!s.focused)
        return;
    const POINT at = positionPoint(s, style, s.text.caret());
    SetCaretPos(at.x, at.y);
}

// Scrolls so that the caret is in view.
void showCaret(EditState& s, Style style)
{
    const std::size_t caret = s.text.caret();
    if (style.multiline()) {
        const std::size_t line = s.text.lineOf(caret);
        const std::size_t shown = visibleLines(s);
        if (line < s.firstLine)
            s.firstLine = line;
        else if (line >= s.firstLine + shown)
            s.firstLine = line - shown + 1;
        if (style.autoHScroll()) {
            const int x = s.text.xInLine(s.font, line, caret);
            if (x < s.scrollX)
                s.scrollX = x;
            else if (x > s.scrollX + formatWidth(s) - 1)
                s.scrollX = x - formatWidth(s) + 1;
        }
    } else {
        if (s.text.lineWidth(s.font, 0) <= formatWidth(s)) {
            s.firstChar = 0;
        } else if (caret < s.firstChar) {
            s.firstChar = caret;
        } else {
            const int caretX = s.text.xInLine(s.font, 0, caret);
            while (s.firstChar < caret && caretX - s.text.xInLine(s.font, 0, s.firstChar) > formatWidth(s))
                ++s.firstChar;
        }
    }
    placeCaret(s, style);
}

// Sends a notification; false when the parent destroyed the box meanwhile,
// so that the caller touches the state no more.
bool notifyAlive(const EditState& s, WORD code)
{
    HWND window = s.window;
    notifyParent(window, code);
    return states().find(window) != nullptr;
}

void changed(const EditState& s)
{
    InvalidateRect(s.window, nullptr, TRUE);
    if (notifyAlive(s, EN_UPDATE))
        notifyParent(s.window, EN_CHANGE);
}

// Steps 1 and 2 of insertion.
std::string prepareInsertion(std::string_view with, Style style)
{
    std::string prepared(with);
    if (!style.multiline()) {
        const std::size_t lineBreak = prepared.find_first_of("\r\n");
        if (lineBreak != std::string::npos)
            prepared.resize(lineBreak);
    }
    if (style.bits & ES_UPPERCASE) {
        for (char& c : prepared)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    } else if (style.bits & ES_LOWERCASE) {
        for (char& c : prepared)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return prepared;
}

// Whether the text with the selection replaced by `with` fits the box (step 4).
bool fits(const EditState& s, Style style, std::string_view with)
{
    if (!style.multiline() && !style.autoHScroll()) {
        const std::string& text = s.text.text();
        int width = 0;
        if (style.password()) {
            const std::size_t count = text.size() - (s.text.selectionEnd() - s.text.selectionStart()) + with.size();
            width = static_cast<int>(count) * s.font.width(static_cast<unsigned char>(s.passwordChar));
        } else {
            width = s.font.width(std::string_view(text).substr(0, s.text.selectionStart())) + s.font.width(with)
                + s.font.width(std::string_view(text).substr(s.text.selectionEnd()));
        }
        return width <= formatWidth(s);
    }
    if (style.multiline() && !style.autoVScroll()) {
        std::string result = s.text.text();
        result.replace(s.text.selectionStart(), s.text.selectionEnd() - s.text.selectionStart(), with);
        return s.text.countLines(s.font, layoutOptions(s, style), result) <= visibleLines(s);
    }
    return true;
}

// Replaces the selection as the user's input does (the steps at the top).
// False when nothing changed.
bool insert(EditState& s, std::string_view with, UndoRecord::Kind kind, bool undoable)
{
    const Style style(styleOf(s.window));
    std::string prepared = prepareInsertion(with, style);
    bool cut = false;
    // A cut never parts a line break's CR from its LF.
    auto cutTo = [&](std::size_t length) {
        if (length > 0 && length < prepared.size() && prepared[length - 1] == '\r' && prepared[length] == '\n')
            --length;
        prepared.resize(length);
        cut = true;
    };
    const std::size_t kept = s.text.length() - (s.text.selectionEnd() - s.text.selectionStart());
    if (kept + prepared.size() > s.limit)
        cutTo(kept >= s.limit ? 0 : s.limit - kept);
    if (!fits(s, style, prepared)) {
        // The longest beginning that fits; what fits shrinks with the text.
        std::size_t low = 0;
        std::size_t high = prepared.size();
        while (low < high) {
            const std::size_t middle = (low + high + 1) / 2;
            if (fits(s, style, std::string_view(prepared).substr(0, middle)))
                low = middle;
            else
                high = middle - 1;
        }
        cutTo(low);
    }
    if (prepared.empty() && !s.text.hasSelection()) {
        if (cut)
            notifyParent(s.window, EN_MAXTEXT);
        return false;
    }
    try {
        if (undoable)
            s.text.recordReplacement(prepared, kind);
        else
            s.text.emptyUndo();
        s.text.replace(s.text.selectionStart(), s.text.selectionEnd(), prepared);
    } catch (const std::bad_alloc&) {
        notifyParent(s.window, EN_ERRSPACE);
        return false;
    }
    s.modified = true;
    s.goalX = -1;
    relayout(s, style);
    showCaret(s, style);
    if (cut && !notifyAlive(s, EN_MAXTEXT))
        return true;
    changed(s);
    return true;
}

bool setText(EditState& s, std::string_view text)
{
    const Style style(styleOf(s.window));
    if (!style.multiline() && !style.autoHScroll()) {
        const int width = style.password() ? static_cast<int>(text.size()) * s.font.width(static_cast<unsigned char>(s.passwordChar))
                                           : s.font.width(text);
        if (width > formatWidth(s))
            return false;
    }
    try {
        s.text.assign(std::string(text));
    } catch (const std::bad_alloc&) {
        notifyParent(s.window, EN_ERRSPACE);
        return false;
    }
    s.text.emptyUndo();
    s.modified = false;
    s.firstLine = 0;
    s.firstChar = 0;
    s.scrollX = 0;
    s.goalX = -1;
    relayout(s, style);
    placeCaret(s, style);
    changed(s);
    return true;
}

void moveCaret(EditState& s, std::size_t position, bool extend)
{
    const Style style(styleOf(s.window));
    s.text.select(extend ? s.text.anchor() : position, position);
    showCaret(s, style);
    InvalidateRect(s.window, nullptr, FALSE);
}

void deleteSelectionOr(EditState& s, bool forward)
{
    const Style style(styleOf(s.window));
    if (style.readOnly())
        return;
    if (!s.text.hasSelection()) {
        const std::size_t caret = s.text.caret();
        const std::size_t other = forward ? s.text.next(caret) : s.text.previous(caret);
        if (other == caret)
            return;
        s.text.select(caret, other);
    }
    insert(s, {}, forward ? UndoRecord::Kind::Delete : UndoRecord::Kind::Backspace, true);
}

void copySelection(EditState& s)
{
    if (!s.text.hasSelection() || Style(styleOf(s.window)).password())
        return;
    putClipboardText(s.window, s.text.selected());
}

void cutSelection(EditState& s)
{
    const Style style(styleOf(s.window));
    if (!s.text.hasSelection() || style.password() || style.readOnly())
        return;
    if (putClipboardText(s.window, s.text.selected()))
        insert(s, {}, UndoRecord::Kind::Other, true);
}

void paste(EditState& s)
{
    if (Style(styleOf(s.window)).readOnly())
        return;
    if (const std::optional<std::string> text = clipboardText(s.window))
        insert(s, *text, UndoRecord::Kind::Other, true);
}

void clearSelection(EditState& s)
{
    if (!Style(styleOf(s.window)).readOnly() && s.text.hasSelection())
        insert(s, {}, UndoRecord::Kind::Other, true);
}

LRESULT undo(EditState& s)
{
    const Style style(styleOf(s.window));
    const bool done = s.text.undo();
    if (done) {
        s.modified = true;
        relayout(s, style);
        showCaret(s, style);
        changed(s);
    }
    return style.multiline() ? (done ? TRUE : FALSE) : TRUE;
}

// ---- Scrolling ------------------------------------------------------------

std::size_t lastTopLine(const EditState& s)
{
    return s.text.lines().size() - 1;
}

// Vertical scrolling of a multi-line box by lines; the number scrolled.
long long scrollLines(EditState& s, long long lines)
{
    const long long from = static_cast<long long>(s.firstLine);
    const long long to = std::clamp<long long>(from + lines, 0, static_cast<long long>(lastTopLine(s)));
    s.firstLine = static_cast<std::size_t>(to);
    if (to != from) {
        placeCaret(s, Style(styleOf(s.window)));
        InvalidateRect(s.window, nullptr, TRUE);
    }
    return to - from;
}

LRESULT scrollCommand(EditState& s, WPARAM command)
{
    const long long page = static_cast<long long>(visibleLines(s));
    switch (LOWORD(command)) {
    case SB_LINEUP: return scrollLines(s, -1);
    case SB_LINEDOWN: return scrollLines(s, 1);
    case SB_PAGEUP: return scrollLines(s, -page);
    case SB_PAGEDOWN: return scrollLines(s, page);
    case SB_TOP: return scrollLines(s, -static_cast<long long>(s.firstLine));
    case SB_BOTTOM: return scrollLines(s, static_cast<long long>(lastTopLine(s)));
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return scrollLines(s, static_cast<long long>(HIWORD(command)) - static_cast<long long>(s.firstLine));
    default: return 0;
    }
}

// ---- Keyboard -------------------------------------------------------------

bool keyHeld(int key)
{
    return GetKeyState(key) < 0;
}

void verticalMove(EditState& s, long long lines, bool extend)
{
    const std::size_t caret = s.text.caret();
    const std::size_t line = s.text.lineOf(caret);
    if (s.goalX < 0)
        s.goalX = s.text.xInLine(s.font, line, caret);
    const long long target = std::clamp<long long>(static_cast<long long>(line) + lines, 0,
        static_cast<long long>(s.text.lines().size()) - 1);
    const int goal = s.goalX;
    const std::size_t position = s.text.positionAtX(s.font, static_cast<std::size_t>(target), goal);
    if (lines < 0 && target < static_cast<long long>(s.firstLine))
        s.firstLine = static_cast<std::size_t>(target);
    moveCaret(s, position, extend);
    s.goalX = goal;
}

LRESULT keyDown(EditState& s, WPARAM key)
{
    const Style style(styleOf(s.window));
    const bool shift = keyHeld(VK_SHIFT);
    const bool control = keyHeld(VK_CONTROL);
    const std::size_t caret = s.text.caret();
    const EditLine& line = s.text.lines()[s.text.lineOf(caret)];
    if (key != VK_UP && key != VK_DOWN && key != VK_PRIOR && key != VK_NEXT)
        s.goalX = -1;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = key == VK_LEFT;
        if (!shift && !control && s.text.hasSelection()) {
            moveCaret(s, left ? s.text.selectionStart() : s.text.selectionEnd(), false);
            break;
        }
        const std::size_t to = control ? (left ? s.text.wordLeft(caret) : s.text.wordRight(caret))
                                       : (left ? s.text.previous(caret) : s.text.next(caret));
        moveCaret(s, to, shift);
        break;
    }
    case VK_UP:
    case VK_DOWN:
        if (!style.multiline())
            return keyDown(s, key == VK_UP ? VK_LEFT : VK_RIGHT);
        verticalMove(s, key == VK_UP ? -1 : 1, shift);
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (style.multiline()) {
            const long long page = static_cast<long long>(visibleLines(s));
            verticalMove(s, key == VK_PRIOR ? -page : page, shift);
        }
        break;
    case VK_HOME: moveCaret(s, control ? 0 : line.start, shift); break;
    case VK_END: moveCaret(s, control ? s.text.length() : line.end, shift); break;
    case VK_DELETE:
        if (shift)
            cutSelection(s);
        else
            deleteSelectionOr(s, true);
        break;
    case VK_INSERT:
        if (control)
            copySelection(s);
        else if (shift)
            paste(s);
        break;
    default: break;
    }
    return 0;
}

LRESULT character(EditState& s, WPARAM code)
{
    const Style style(styleOf(s.window));
    const auto c = static_cast<unsigned char>(code & 0xFF);
    switch (c) {
    // Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z arrive as control characters.
    case 0x01:
        s.goalX = -1;
        s.text.select(0, s.text.length());
        showCaret(s, style);
        return 0;
    case 0x03: copySelection(s); return 0;
    case 0x16: paste(s); return 0;
    case 0x18: cutSelection(s); return 0;
    case 0x1A: undo(s); return 0;
    case '\b': deleteSelectionOr(s, false); return 0;
    case '\r':
        if (style.multiline() && !style.readOnly())
            insert(s, "\r\n", UndoRecord::Kind::Other, true);
        return 0;
    case '\t':
        if (style.multiline() && !style.readOnly())
            insert(s, "\t", UndoRecord::Kind::Typing, true);
        return 0;
    default: break;
    }
    if (c < 0x20 || c == 0x7F)
        return 0;
    if (style.readOnly() || ((style.bits & ES_NUMBER) && !(c >= '0' && c <= '9'))) {
        MessageBeep(0);
        return 0;
    }
    const char typed = static_cast<char>(c);
    insert(s, std::string_view(&typed, 1), UndoRecord::Kind::Typing, true);
    return 0;
}

// ---- Mouse ------------------------------------------------------------------

POINT pointOf(LPARAM lParam)
{
    return { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
}

LRESULT buttonDown(EditState& s, LPARAM lParam, WPARAM keys)
{
    if (!s.focused)
        SetFocus(s.window);
    const Style style(styleOf(s.window));
    s.goalX = -1;
    moveCaret(s, positionFromPoint(s, style, pointOf(lParam)), keys & MK_SHIFT);
    s.tracking = true;
    SetCapture(s.window);
    return 0;
}

LRESULT mouseMove(EditState& s, LPARAM lParam, WPARAM keys)
{
    if (!s.tracking || !(keys & MK_LBUTTON))
        return 0;
    const Style style(styleOf(s.window));
    const POINT point = pointOf(lParam);
    // Dragging above or below a multi-line box scrolls it.
    if (style.multiline()) {
        if (point.y < s.format.top)
            scrollLines(s, -1);
        else if (point.y >= s.format.bottom)
            scrollLines(s, 1);
    }
    moveCaret(s, positionFromPoint(s, style, point), true);
    return 0;
}

LRESULT doubleClick(EditState& s, LPARAM lParam)
{
    const Style style(styleOf(s.window));
    const auto [start, end] = s.text.wordAt(positionFromPoint(s, style, pointOf(lParam)));
    s.text.select(start, end);
    showCaret(s, style);
    s.tracking = false;
    return 0;
}

// ---- Lines ------------------------------------------------------------------

std::size_t lineArgument(const EditState& s, WPARAM line)
{
    return static_cast<int>(line) == -1 ? s.text.lineOf(s.text.caret()) : static_cast<std::size_t>(line);
}

LRESULT lineIndex(const EditState& s, WPARAM wParam)
{
    const std::size_t line = lineArgument(s, wParam);
    return line < s.text.lines().size() ? static_cast<LRESULT>(s.text.lines()[line].start) : -1;
}

LRESULT lineLength(const EditState& s, WPARAM wParam)
{
    if (static_cast<int>(wParam) == -1) {
        // The characters left unselected on the lines the selection touches.
        const auto& lines = s.text.lines();
        const EditLine& first = lines[s.text.lineOf(s.text.selectionStart())];
        const EditLine& last = lines[s.text.lineOf(s.text.selectionEnd())];
        return static_cast<LRESULT>((s.text.selectionStart() - first.start) + (last.end - std::min(last.end, s.text.selectionEnd())));
    }
    if (wParam > s.text.length())
        return 0;
    const EditLine& line = s.text.lines()[s.text.lineOf(wParam)];
    return static_cast<LRESULT>(line.end - line.start);
}

LRESULT getLine(const EditState& s, WPARAM wParam, LPARAM lParam)
{
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer)
        return 0;
    const Style style(styleOf(s.window));
    const std::size_t index = style.multiline() ? static_cast<std::size_t>(wParam) : 0;
    if (index >= s.text.lines().size())
        return 0;
    WORD size;
    std::memcpy(&size, buffer, sizeof size);
    const EditLine& line = s.text.lines()[index];
    const std::size_t count = std::min<std::size_t>(size, line.end - line.start);
    std::memcpy(buffer, s.text.text().data() + line.start, count);
    return static_cast<LRESULT>(count);
}

LRESULT positionFromChar(const EditState& s, WPARAM index)
{
    if (index >= s.text.length())
        return -1;
    const POINT at = positionPoint(s, Style(styleOf(s.window)), index);
    return MAKELRESULT(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
}

LRESULT charFromPosition(const EditState& s, LPARAM lParam)
{
    const Style style(styleOf(s.window));
    const std::size_t position = positionFromPoint(s, style, pointOf(lParam));
    return MAKELRESULT(static_cast<WORD>(position), static_cast<WORD>(s.text.lineOf(position)));
}

// ---- Settings -------------------------------------------------------------

void fontChanged(EditState& s, HFONT font, bool redraw)
{
    s.font.select(font);
    // A font of the control's own gives narrow margins from its measures;
    // the system font gives none.
    s.leftMargin = s.rightMargin = font ? (s.font.averageWidth() + 2) / 4 : 0;
    computeFormat(s);
    const Style style(styleOf(s.window));
    relayout(s, style);
    if (s.focused) {
        CreateCaret(s.window, nullptr, 1, s.font.height());
        placeCaret(s, style);
        ShowCaret(s.window);
    }
    if (redraw)
        InvalidateRect(s.window, nullptr, TRUE);
}

void setMargins(EditState& s, WPARAM which, LPARAM lParam)
{
    auto margin = [&](WORD value) { return value == EC_USEFONTINFO ? (s.font.font() ? (s.font.averageWidth() + 2) / 4 : 0) : static_cast<int>(value); };
    if (which & EC_LEFTMARGIN)
        s.leftMargin = margin(LOWORD(lParam));
    if (which & EC_RIGHTMARGIN)
        s.rightMargin = margin(HIWORD(lParam));
    computeFormat(s);
    relayout(s, Style(styleOf(s.window)));
    placeCaret(s, Style(styleOf(s.window)));
}

void setLimit(EditState& s, WPARAM limit)
{
    const bool multiline = Style(styleOf(s.window)).multiline();
    if (limit == 0)
        s.limit = multiline ? multiLineMaximum : singleLineMaximum;
    else
        s.limit = std::min<std::size_t>(static_cast<DWORD>(limit), multiline ? multiLineMaximum : singleLineMaximum);
}

void setPasswordChar(EditState& s, WPARAM character)
{
    if (Style(styleOf(s.window)).multiline())
        return;
    s.passwordChar = static_cast<char>(character & 0xFF);
    if (s.passwordChar)
        changeStyle(s.window, ES_PASSWORD, 0);
    else
        changeStyle(s.window, 0, ES_PASSWORD);
    relayout(s, Style(styleOf(s.window)));
    placeCaret(s, Style(styleOf(s.window)));
    InvalidateRect(s.window, nullptr, TRUE);
}

LRESULT getSelection(const EditState& s, WPARAM wParam, LPARAM lParam)
{
    const std::size_t start = s.text.selectionStart();
    const std::size_t end = s.text.selectionEnd();
    if (auto* out = reinterpret_cast<DWORD*>(wParam))
        *out = static_cast<DWORD>(start);
    if (auto* out = reinterpret_cast<DWORD*>(lParam))
        *out = static_cast<DWORD>(end);
    if (start > 0xFFFF || end > 0xFFFF)
        return -1;
    return MAKELRESULT(static_cast<WORD>(start), static_cast<WORD>(end));
}

void setSelection(EditState& s, WPARAM wParam, LPARAM lParam)
{
    const auto start = static_cast<int>(wParam);
    const auto end = static_cast<int>(lParam);
    const std::size_t length = s.text.length();
    auto position = [&](int value) { return value < 0 ? length : std::min(static_cast<std::size_t>(value), length); };
    if (start == -1)
        s.text.select(s.text.caret(), s.text.caret());
    else
        s.text.select(position(start), position(end));
    s.goalX = -1;
    placeCaret(s, Style(styleOf(s.window)));
    InvalidateRect(s.window, nullptr, FALSE);
}

LRESULT dialogCode(WPARAM, LPARAM lParam, Style style)
{
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (!style.multiline())
        return code;
    code |= DLGC_WANTALLKEYS;
    // Tab, Escape and (without ES_WANTRETURN) Enter stay with the dialog.
    if (const auto* message = reinterpret_cast<const MSG*>(lParam); message && message->message == WM_KEYDOWN) {
        if (message->wParam == VK_TAB || message->wParam == VK_ESCAPE
            || (message->wParam == VK_RETURN && !(style.bits & ES_WANTRETURN)))
            code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    }
    return code;
}

std::unique_ptr<EditState> make(HWND window, const CREATESTRUCTA* create)
{
    auto state = std::make_unique<EditState>();
    state->window = window;
    if (create && create->lpszName && static_cast<unsigned char>(create->lpszName[0]) != 0xFF)
        state->text.assign(create->lpszName);
    const Style style(static_cast<DWORD>(create ? create->style : 0));
    if (style.password())
        state->passwordChar = '*';
    return state;
}

LRESULT handle(EditState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_SIZE: {
        computeFormat(s);
        const Style style(styleOf(s.window));
        relayout(s, style);
        placeCaret(s, style);
        return 0;
    }
    case WM_SETTEXT: return setText(s, textArgument(lParam)) ? TRUE : FALSE;
    case WM_GETTEXT:
        if (s.softBreaks && Style(styleOf(s.window)).multiline())
            return copyToBuffer(s.text.textWithSoftBreaks(), wParam, lParam);
        return copyToBuffer(s.text.text(), wParam, lParam);
    case WM_GETTEXTLENGTH:
        if (s.softBreaks && Style(styleOf(s.window)).multiline())
            return static_cast<LRESULT>(s.text.textWithSoftBreaks().size());
        return static_cast<LRESULT>(s.text.length());
    case WM_SETFONT: fontChanged(s, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font.font());
    case WM_GETDLGCODE: return dialogCode(wParam, lParam, Style(styleOf(s.window)));
    case WM_SETFOCUS:
        s.focused = true;
        CreateCaret(s.window, nullptr, 1, s.font.height());
        placeCaret(s, Style(styleOf(s.window)));
        ShowCaret(s.window);
        notifyParent(s.window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s.focused = false;
        s.tracking = false;
        DestroyCaret();
        notifyParent(s.window, EN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN: return keyDown(s, wParam);
    case WM_CHAR: return character(s, wParam);
    case WM_LBUTTONDOWN: return buttonDown(s, lParam, wParam);
    case WM_LBUTTONDBLCLK: return doubleClick(s, lParam);
    case WM_MOUSEMOVE: return mouseMove(s, lParam, wParam);
    case WM_LBUTTONUP:
        if (s.tracking) {
            s.tracking = false;
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED: s.tracking = false; return 0;
    case WM_CUT: cutSelection(s); return 0;
    case WM_COPY: copySelection(s); return 0;
    case WM_PASTE: paste(s); return 0;
    case WM_CLEAR: clearSelection(s); return 0;
    case WM_UNDO:
    case EM_UNDO: return undo(s);
    case EM_CANUNDO: return s.text.canUndo() ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: s.text.emptyUndo(); return 0;
    case EM_GETSEL: return getSelection(s, wParam, lParam);
    case EM_SETSEL: setSelection(s, wParam, lParam); return 0;
    case EM_REPLACESEL:
        insert(s, textArgument(lParam), UndoRecord::Kind::Other, wParam != 0);
        return 0;
    case EM_LIMITTEXT: setLimit(s, wParam); return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(static_cast<DWORD>(s.limit));
    case EM_GETMODIFY: return s.modified ? TRUE : FALSE;
    case EM_SETMODIFY: s.modified = wParam != 0; return 0;
    case EM_SETPASSWORDCHAR: setPasswordChar(s, wParam); return 0;
    case EM_GETPASSWORDCHAR: return Style(styleOf(s.window)).password() ? static_cast<unsigned char>(s.passwordChar) : 0;
    case EM_SETREADONLY:
        if (wParam)
            changeStyle(s.window, ES_READONLY, 0);
        else
            changeStyle(s.window, 0, ES_READONLY);
        return TRUE;
    case EM_FMTLINES:
        if (Style(styleOf(s.window)).multiline())
            s.softBreaks = wParam != 0;
        return wParam != 0 ? TRUE : FALSE;
    case EM_GETLINECOUNT:
        return Style(styleOf(s.window)).multiline() ? static_cast<LRESULT>(s.text.lines().size()) : 1;
    case EM_GETFIRSTVISIBLELINE:
        return static_cast<LRESULT>(Style(styleOf(s.window)).multiline() ? s.firstLine : s.firstChar);
    case EM_LINESCROLL: {
        const Style style(styleOf(s.window));
        if (!style.multiline())
            return FALSE;
        if (style.autoHScroll() && static_cast<int>(wParam) != 0) {
            s.scrollX = std::max(0, s.scrollX + static_cast<int>(wParam) * s.font.averageWidth());
            placeCaret(s, style);
        }
        scrollLines(s, static_cast<int>(lParam));
        return TRUE;
    }
    case EM_SCROLL:
        if (!Style(styleOf(s.window)).multiline())
            return FALSE;
        return MAKELRESULT(static_cast<WORD>(scrollCommand(s, wParam)), TRUE);
    case WM_VSCROLL:
        if (Style(styleOf(s.window)).multiline())
            scrollCommand(s, wParam);
        return 0;
    case EM_SCROLLCARET: showCaret(s, Style(styleOf(s.window))); return TRUE;
    case EM_LINEINDEX: return lineIndex(s, wParam);
    case EM_LINELENGTH: return lineLength(s, wParam);
    case EM_LINEFROMCHAR:
        return static_cast<LRESULT>(s.text.lineOf(static_cast<int>(wParam) == -1 ? s.text.selectionStart()
                                                                                  : static_cast<std::size_t>(wParam)));
    case EM_GETLINE: return getLine(s, wParam, lParam);
    case EM_POSFROMCHAR: return positionFromChar(s, wParam);
    case EM_CHARFROMPOS: return charFromPosition(s, lParam);
    case EM_GETRECT:
        if (auto* rect = reinterpret_cast<RECT*>(lParam))
            *rect = s.format;
        return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (const auto* rect = reinterpret_cast<const RECT*>(lParam)) {
            s.format = *rect;
            s.formatGiven = true;
        } else {
            s.formatGiven = false;
            computeFormat(s);
        }
        relayout(s, Style(styleOf(s.window)));
        placeCaret(s, Style(styleOf(s.window)));
        return 0;
    case EM_SETMARGINS: setMargins(s, wParam, lParam); return 0;
    case EM_GETMARGINS:
        return MAKELRESULT(static_cast<WORD>(s.leftMargin), static_cast<WORD>(s.rightMargin));
    case WM_STYLECHANGED: relayout(s, Style(styleOf(s.window))); return 0;
    case WM_PAINT: paintControl(s.window); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_SETREDRAW: return 0;
    default: return DefWindowProcA(s.window, message, wParam, lParam);
    }
}

}

LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return dispatchToState(states(), window, message, wParam, lParam, make, handle);
}

}
