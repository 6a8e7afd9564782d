// The text of an edit control and its layout: the characters, the
// selection, the one-level undo record, and the lines the text falls into
// in the formatting rectangle with the control's font. Nothing here talks
// to the window system; the edit control's procedure drives it.
#pragma once

#include "controls/ControlSupport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace winapi::controls {

struct EditLine {
    std::size_t start { 0 };
    std::size_t end { 0 };  // past the last character shown (a line break is not)
    std::size_t next { 0 }; // where the next line starts
    bool soft { false };    // ended by wrapping, not by a line break
};

// What EM_UNDO puts back: at `position`, `inserted` replaced `removed`.
// Undoing swaps the two, so a second undo redoes.
struct UndoRecord {
    enum class Kind { Other, Typing, Backspace, Delete };
    std::size_t position { 0 };
    std::string removed;
    std::string inserted;
    Kind kind { Kind::Other };
};

struct EditLayoutOptions {
    bool multiline { false };
    bool wrap { false };       // multi-line without ES_AUTOHSCROLL
    char passwordChar { 0 };   // single-line boxes that hide their text
    int wrapWidth { 0 };       // the formatting rectangle's width
};

class EditText {
public:
    const std::string& text() const { return m_text; }
    std::size_t length() const { return m_text.size(); }
    std::size_t anchor() const { return m_anchor; }
    std::size_t caret() const { return m_caret; }
    std::size_t selectionStart() const { return std::min(m_anchor, m_caret); }
    std::size_t selectionEnd() const { return std::max(m_anchor, m_caret); }
    bool hasSelection() const { return m_anchor != m_caret; }
    std::string_view selected() const { return std::string_view(m_text).substr(selectionStart(), selectionEnd() - selectionStart()); }

    // Positions are clamped to the text.
    void select(std::size_t anchor, std::size_t caret);
    // Replaces the whole text; the selection goes to the start.
    void assign(std::string text);
    // Replaces [start, end) and leaves the caret after the new text.
    void replace(std::size_t start, std::size_t end, std::string_view with);

    // ---- Undo -------------------------------------------------------------
    bool canUndo() const { return m_canUndo; }
    void emptyUndo() { m_canUndo = false; }
    // Records a replacement of the selection before it is made; typed
    // characters and runs of Backspace or Delete join the record before.
    void recordReplacement(std::string_view with, UndoRecord::Kind kind);
    // Puts back what the record holds and selects it; false without a record.
    bool undo();

    // ---- Layout -----------------------------------------------------------
    void layout(const FontMetrics& font, const EditLayoutOptions& options);
    const std::vector<EditLine>& lines() const { return m_lines; }
    std::size_t lineOf(std::size_t position) const;
    // The width of [line.start, position) as drawn, tabs included.
    int xInLine(const FontMetrics& font, std::size_t line, std::size_t position) const;
    int lineWidth(const FontMetrics& font, std::size_t line) const;
    // The position in the line nearest to x (pixels from the line's start).
    std::size_t positionAtX(const FontMetrics& font, std::size_t line, int x) const;
    // The number of lines the text would fall into; the layout is not kept.
    std::size_t countLines(const FontMetrics& font, const EditLayoutOptions& options, std::string_view text) const;
    // The text as WM_GETTEXT gives it with soft line breaks shown: each
    // wrapped line ends in CR CR LF.
    std::string textWithSoftBreaks() const;

    // ---- Movement ---------------------------------------------------------
    // One character back or forward; a CR LF pair counts as one.
    std::size_t previous(std::size_t position) const;
    std::size_t next(std::size_t position) const;
    std::size_t wordLeft(std::size_t position) const;
    std::size_t wordRight(std::size_t position) const;
    // The word (or run of blanks) around a position.
    std::pair<std::size_t, std::size_t> wordAt(std::size_t position) const;

private:
    void buildLines(const FontMetrics& font, const EditLayoutOptions& options, std::string_view text,
        std::vector<EditLine>& lines) const;
    int advance(const FontMetrics& font, int x, char c) const;

    std::string m_text;
    std::size_t m_anchor { 0 };
    std::size_t m_caret { 0 };
    UndoRecord m_undo;
    bool m_canUndo { false };
    std::vector<EditLine> m_lines { EditLine {} };
    EditLayoutOptions m_options;
};

}
