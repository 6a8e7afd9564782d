// The platform's standard child controls as window objects: static labels
// (Control), push buttons, check boxes and radio buttons, a run of radio
// buttons of a dialog (RadioButtonGroup), edit boxes, list boxes and combo
// boxes. A control either attaches to an item of a dialog made from a
// template, found by its identifier, or makes its own child window when it
// is first shown. Each operation sends one of the control's messages (or
// two) and turns the platform's answer into a value or an exception.
#pragma once

#include "geometry.h"
#include "object.h"
#include "windowbase.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace wivel {

class Font;

class ControlException : public WindowBaseException {
public:
    explicit ControlException(const std::string& message);
};

class Control : public WindowBase {
public:
    // Attaches to the parent's dialog item `id`, which must exist; `id` is
    // zero or more.
    Control(WindowBase* parent, std::int32_t id);
    // A static label of its own, left-aligned, made when first shown.
    Control(WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds);

    void create() override;
    // A control installs no listeners of its own.
    void installListeners() override;
    virtual Font* font();
    // Null returns the control to the system font. Requires a window.
    virtual Font* font(Font* font);

    std::int32_t id() const { return m_id; }
    const Rectangle& bounds() const { return m_bounds; }
    const std::string& className() const { return m_className; }

protected:
    // A control of the class that makes its own window with these styles;
    // WS_CHILD is always added.
    Control(WindowBase* parent, std::int32_t id, const char* className, const std::string& text,
        const Rectangle& bounds, DWORD style, DWORD exStyle = 0);

private:
    std::int32_t m_id;
    Rectangle m_bounds;
    std::string m_className;
    Font* m_font = nullptr;
};

class Button : public Control {
public:
    Button(WindowBase* parent, std::int32_t id);
    // A push button of its own, the parent's default button when `isDefault`.
    Button(WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds,
        bool isDefault = false);

    // Makes the button the parent dialog's default push button.
    virtual void makeDefault();
};

class CheckBox : public Control {
public:
    CheckBox(WindowBase* parent, std::int32_t id);
    // An automatic check box of its own, of three states when `threeStates`.
    CheckBox(WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds,
        bool threeStates = false);

    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual std::int32_t checkState();
    virtual std::int32_t checkState(std::int32_t state);

protected:
    // A "BUTTON" window of its own with these button styles.
    CheckBox(WindowBase* parent, std::int32_t id, DWORD style, const std::string& text, const Rectangle& bounds);
};

class RadioButton : public CheckBox {
public:
    RadioButton(WindowBase* parent, std::int32_t id);
    // An automatic radio button of its own; the first of a group starts it
    // (WS_GROUP) and is its tab stop.
    RadioButton(WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds,
        bool firstOfGroup = false);
};

// Radio buttons of one dialog with consecutive identifiers, reached through
// the dialog; indices count from 0 in identifier order.
class RadioButtonGroup : public Object {
public:
    // The buttons firstId to lastId, both included.
    RadioButtonGroup(WindowBase& parentWindow, std::int32_t firstId, std::int32_t lastId);

    std::size_t toHash() const override;
    // Equal to a group of the same dialog window and identifiers.
    bool equals(const Object* other) const override;
    // The index of the first button that is not unchecked, or -1.
    virtual std::int32_t selected();
    // Checks the button at the index after unchecking the first checked one.
    virtual std::int32_t selected(std::int32_t index);
    // A new wrapper of the button at the index, on every call.
    virtual std::unique_ptr<RadioButton> button(std::int32_t index);

    WindowBase& parentWindow() const { return m_parentWindow; }
    std::int32_t firstId() const { return m_firstId; }
    std::int32_t endId() const { return m_endId; }

private:
    LRESULT sendToButton(std::int32_t id, UINT message, WPARAM wParam);

    WindowBase& m_parentWindow;
    std::int32_t m_firstId;
    std::int32_t m_endId;
};

class EditBox : public Control {
public:
    EditBox(WindowBase* parent, std::int32_t id);
    // A bordered box of its own; `editStyle` holds its ES_ styles.
    EditBox(WindowBase* parent, std::int32_t id, const Rectangle& bounds, DWORD editStyle = ES_LEFT | ES_AUTOHSCROLL);

    std::string text() override;
    // Throws ControlException when the box refuses the text.
    const std::string& text(const std::string& text) override;
    virtual bool canUndo();
    // Writing false empties the undo buffer; writing true does nothing.
    virtual bool canUndo(bool possible);
    // The setting last written: the platform cannot be asked.
    virtual bool softLineBreaks();
    virtual bool softLineBreaks(bool shown);
    // The first line shown (of a single-line box: the first character).
    virtual std::int32_t scrollPosition();
    virtual std::int32_t scrollPosition(std::int32_t position);
    virtual std::int32_t lineCount();
    virtual std::int32_t textLimit(std::int32_t limit);
    virtual std::int32_t textLimit();
    virtual bool modified();
    virtual bool modified(bool changed);
    // Zero when the box shows its text plainly.
    virtual char passwordChar();
    virtual char passwordChar(char character);
    virtual bool readOnly();
    virtual bool readOnly(bool fixed);
    virtual bool hasSelection();
    virtual std::string selectedText();
    virtual bool undo();
    // Both out-arguments are set to zero before the platform is asked.
    virtual void selection(std::int32_t* start, std::int32_t* end);
    // An end of -1 is the end of the text.
    virtual void selection(std::int32_t start, std::int32_t end);
    virtual void selectAll();
    virtual void scrollToCaret();
    virtual void replaceSelection(const std::string& text, bool undoable);
    virtual void clear();
    virtual void cut();
    virtual void copy();
    virtual void paste();

private:
    bool m_softLineBreaks = false;
};

class ListBox : public Control {
public:
    ListBox(WindowBase* parent, std::int32_t id);
    // A bordered, notifying list of its own with a vertical scroll bar.
    ListBox(WindowBase* parent, std::int32_t id, const Rectangle& bounds, bool sorted = false);

    // The new line's index.
    virtual std::int32_t add(const std::string& text);
    // At the index (-1: at the end), unsorted.
    virtual std::int32_t add(std::int32_t index, const std::string& text);
    virtual void remove(std::int32_t index);
    // The next matching line after `start`, wrapping round (-1: from the
    // top); prefix or whole text, without regard to case. -1 for none.
    virtual std::int32_t find(const std::string& text, std::int32_t start, bool prefix);
    virtual void removeAll();
    virtual std::string item(std::int32_t index);
    virtual std::int32_t selectMatching(const std::string& text, std::int32_t start);
    virtual std::int32_t length();
    // -1 when nothing is selected.
    virtual std::int32_t selected();
    virtual std::int32_t selected(std::int32_t index);
    // Requires a selection.
    virtual std::string selectedItem();
    // The first line shown.
    virtual std::int32_t scrollPosition();
    virtual std::int32_t scrollPosition(std::int32_t index);

protected:
    ListBox(WindowBase* parent, std::int32_t id, const char* className, const Rectangle& bounds, DWORD style);
};

class ComboBox : public ListBox {
public:
    ComboBox(WindowBase* parent, std::int32_t id);
    // A combo box of its own; `comboStyle` is CBS_SIMPLE, CBS_DROPDOWN or
    // CBS_DROPDOWNLIST with any other CBS_ styles. The height includes the
    // drop-down list.
    ComboBox(WindowBase* parent, std::int32_t id, const Rectangle& bounds, DWORD comboStyle = CBS_DROPDOWNLIST);

    std::int32_t add(const std::string& text) override;
    std::int32_t add(std::int32_t index, const std::string& text) override;
    void remove(std::int32_t index) override;
    std::int32_t find(const std::string& text, std::int32_t start, bool prefix) override;
    void removeAll() override;
    std::string item(std::int32_t index) override;
    std::int32_t selectMatching(const std::string& text, std::int32_t start) override;
    std::int32_t length() override;
    std::int32_t selected() override;
    std::int32_t selected(std::int32_t index) override;
    std::int32_t scrollPosition() override;
    std::int32_t scrollPosition(std::int32_t index) override;
    virtual bool dropped();
    virtual bool dropped(bool shown);
    virtual std::int32_t droppedWidth();
    virtual std::int32_t droppedWidth(std::int32_t width);
    virtual bool extendedUI();
    virtual bool extendedUI(bool extended);
    virtual std::int32_t textLimit(std::int32_t limit);
    // The limit last written: the platform cannot be asked.
    virtual std::int32_t textLimit();
    virtual void clear();
    virtual void cut();
    virtual void copy();
    virtual void paste();

private:
    std::int32_t m_textLimit = 0;
};

}
