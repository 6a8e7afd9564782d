// An edit control's text, selection, undo record and line layout.
#include "controls/EditText.h"

#include <algorithm>

namespace winapi::controls {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Tab stops lie every 32 dialog units, eight average character widths.
int tabStop(const FontMetrics& font, int x)
{
    const int step = 8 * font.averageWidth();
    return (x / step + 1) * step;
}

// The length of the line break at a position: CR LF, a lone LF, or none.
std::size_t breakAt(std::string_view text, std::size_t i)
{
    if (text[i] == '\n')
        return 1;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        return 2;
    return 0;
}

}

void EditText::select(std::size_t anchor, std::size_t caret)
{
    m_anchor = std::min(anchor, m_text.size());
    m_caret = std::min(caret, m_text.size());
}

void EditText::assign(std::string text)
{
    m_text = std::move(text);
    m_anchor = m_caret = 0;
}

void EditText::replace(std::size_t start, std::size_t end, std::string_view with)
{
    m_text.replace(start, end - start, with);
    m_anchor = m_caret = start + with.size();
}

void EditText::recordReplacement(std::string_view with, UndoRecord::Kind kind)
{
    const std::size_t start = selectionStart();
    const std::size_t end = selectionEnd();
    const std::string_view removed = std::string_view(m_text).substr(start, end - start);
    if (m_canUndo && m_undo.kind == kind) {
        switch (kind) {
        case UndoRecord::Kind::Typing:
            if (start == end && start == m_undo.position + m_undo.inserted.size()) {
                m_undo.inserted += with;
                return;
            }
            break;
        case UndoRecord::Kind::Backspace:
            if (with.empty() && m_undo.inserted.empty() && end == m_undo.position) {
                m_undo.removed.insert(0, removed);
                m_undo.position = start;
                return;
            }
            break;
        case UndoRecord::Kind::Delete:
            if (with.empty() && m_undo.inserted.empty() && start == m_undo.position) {
                m_undo.removed += removed;
                return;
            }
            break;
        case UndoRecord::Kind::Other: break;
        }
    }
    // Backspace over what was just typed takes it out of the record.
    if (m_canUndo && kind == UndoRecord::Kind::Backspace && m_undo.kind == UndoRecord::Kind::Typing && with.empty()
        && end == m_undo.position + m_undo.inserted.size() && end - start <= m_undo.inserted.size()
        && std::string_view(m_undo.inserted).substr(m_undo.inserted.size() - (end - start)) == removed) {
        m_undo.inserted.resize(m_undo.inserted.size() - (end - start));
        return;
    }
    m_undo = UndoRecord { start, std::string(removed), std::string(with), kind };
    m_canUndo = true;
}

bool EditText::undo()
{
    if (!m_canUndo)
        return false;
    const std::size_t position = std::min(m_undo.position, m_text.size());
    const std::size_t end = std::min(position + m_undo.inserted.size(), m_text.size());
    m_text.replace(position, end - position, m_undo.removed);
    std::swap(m_undo.inserted, m_undo.removed);
    m_undo.kind = UndoRecord::Kind::Other;
    m_anchor = position;
    m_caret = position + m_undo.inserted.size();
    return true;
}

int EditText::advance(const FontMetrics& font, int x, char c) const
{
    if (c == '\t' && m_options.multiline)
        return tabStop(font, x);
    return x + font.width(static_cast<unsigned char>(m_options.passwordChar ? m_options.passwordChar : c));
}

void EditText::buildLines(const FontMetrics& font, const EditLayoutOptions& options, std::string_view text,
    std::vector<EditLine>& lines) const
{
    lines.clear();
    if (!options.multiline) {
        lines.push_back({ 0, text.size(), text.size(), false });
        return;
    }
    auto measure = [&](int x, char c) {
        if (c == '\t')
            return tabStop(font, x);
        return x + font.width(static_cast<unsigned char>(c));
    };
    std::size_t position = 0;
    while (true) {
        // One hard line: up to the next line break.
        std::size_t end = position;
        while (end < text.size() && !breakAt(text, end))
            ++end;
        const std::size_t breakLength = end < text.size() ? breakAt(text, end) : 0;
        std::size_t start = position;
        if (options.wrap && options.wrapWidth > 0) {
            while (start < end) {
                int x = 0;
                std::size_t i = start;
                std::size_t lastBreak = 0;
                bool overflow = false;
                while (i < end) {
                    const int after = measure(x, text[i]);
                    // Blanks may hang past the edge; a line keeps at least one character.
                    if (after > options.wrapWidth && !isBlank(text[i]) && i > start) {
                        overflow = true;
                        break;
                    }
                    x = after;
                    ++i;
                    if (isBlank(text[i - 1]))
                        lastBreak = i;
                }
                if (!overflow)
                    break;
                const std::size_t cut = lastBreak > start ? lastBreak : i;
                lines.push_back({ start, cut, cut, true });
                start = cut;
            }
        }
        lines.push_back({ start, end, end + breakLength, false });
        if (end >= text.size())
            break;
        position = end + breakLength;
        if (position >= text.size()) {
            // A break at the very end opens an empty last line.
            lines.push_back({ position, position, position, false });
            break;
        }
    }
}

void EditText::layout(const FontMetrics& font, const EditLayoutOptions& options)
{
    m_options = options;
    buildLines(font, options, m_text, m_lines);
}

std::size_t EditText::countLines(const FontMetrics& font, const EditLayoutOptions& options, std::string_view text) const
{
    std::vector<EditLine> lines;
    buildLines(font, options, text, lines);
    return lines.size();
}

std::size_t EditText::lineOf(std::size_t position) const
{
    // The last line that starts at or before the position: at a wrap, the
    // caret stands at the start of the next line.
    const auto after = std::upper_bound(m_lines.begin(), m_lines.end(), position,
        [](std::size_t p, const EditLine& line) { return p < line.start; });
    return after == m_lines.begin() ? 0 : static_cast<std::size_t>(after - m_lines.begin()) - 1;
}

int EditText::xInLine(const FontMetrics& font, std::size_t line, std::size_t position) const
{
    const EditLine& l = m_lines[line];
    int x = 0;
    for (std::size_t i = l.start; i < std::min(position, l.end); ++i)
        x = advance(font, x, m_text[i]);
    return x;
}

int EditText::lineWidth(const FontMetrics& font, std::size_t line) const
{
    return xInLine(font, line, m_lines[line].end);
}

std::size_t EditText::positionAtX(const FontMetrics& font, std::size_t line, int x) const
{
    const EditLine& l = m_lines[line];
    int left = 0;
    for (std::size_t i = l.start; i < l.end; ++i) {
        const int right = advance(font, left, m_text[i]);
        if (x < (left + right + 1) / 2)
            return i;
        left = right;
    }
    return l.end;
}

std::string EditText::textWithSoftBreaks() const
{
    std::string result;
    result.reserve(m_text.size() + 3 * m_lines.size());
    for (const EditLine& line : m_lines) {
        result.append(m_text, line.start, line.next - line.start);
        if (line.soft)
            result += "\r\r\n";
    }
    return result;
}

std::size_t EditText::previous(std::size_t position) const
{
    if (position == 0)
        return 0;
    if (position >= 2 && m_text[position - 1] == '\n' && m_text[position - 2] == '\r')
        return position - 2;
    return position - 1;
}

std::size_t EditText::next(std::size_t position) const
{
    if (position >= m_text.size())
        return m_text.size();
    if (m_text[position] == '\r' && position + 1 < m_text.size() && m_text[position + 1] == '\n')
        return position + 2;
    return position + 1;
}

std::size_t EditText::wordLeft(std::size_t position) const
{
    std::size_t p = std::min(position, m_text.size());
    while (p > 0 && isBlank(m_text[p - 1]))
        --p;
    while (p > 0 && !isBlank(m_text[p - 1]))
        --p;
    return p;
}

std::size_t EditText::wordRight(std::size_t position) const
{
    std::size_t p = std::min(position, m_text.size());
    while (p < m_text.size() && !isBlank(m_text[p]))
        ++p;
    while (p < m_text.size() && isBlank(m_text[p]))
        ++p;
    return p;
}

std::pair<std::size_t, std::size_t> EditText::wordAt(std::size_t position) const
{
    if (m_text.empty())
        return { 0, 0 };
    std::size_t p = std::min(position, m_text.size() - 1);
    if (position == m_text.size() && p > 0)
        p = position - 1;
    const bool blank = isBlank(m_text[p]);
    std::size_t start = p;
    while (start > 0 && isBlank(m_text[start - 1]) == blank)
        --start;
    std::size_t end = p + 1;
    while (end < m_text.size() && isBlank(m_text[end]) == blank)
        ++end;
    return { start, end };
}

}
