#pragma once
// A fixture with the started main window and the score editor window, opened with "编辑" as the
// user does.
#include "editor/editor_fields.h"
#include "editor/yybj.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QTest>
#include <array>
#include <memory>
#include <vector>

namespace testing_support {

class EditorFixture : public MainWindowFixture {
protected:
    EditorFixture() : editorWindow(std::make_unique<editor::YYBJ>()) {}
    ~EditorFixture() override { editorWindow.reset(); }

    // Opens the editor with the main window's "编辑" (starting the main window first).
    editor::YYBJ& open()
    {
        if (!form) start();
        QTest::mouseClick(form->BJCK, Qt::LeftButton);
        return *editorWindow;
    }
    // Opens the editor and makes it the active window, so that clicks move the keyboard focus.
    editor::YYBJ& openActive()
    {
        editor::YYBJ& e = open();
        QApplication::setActiveWindow(&e);
        return e;
    }
    // Clicks melody row `row` and types `text` into the control that then has the focus.
    void typeRow(editor::YYBJ& e, int row, const QString& text)
    {
        QTest::mouseClick(e.YF1[row], Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    editor::YYBJ& ed() { return *editorWindow; }
    editor::EditorFields& fields() { return editor::fields(); }

    // Sent values as (status, data1, data2).
    std::vector<std::array<int, 3>> messages() const
    {
        std::vector<std::array<int, 3>> out;
        for (uint32_t v : midi.sent()) out.push_back({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)});
        return out;
    }
    // How many note-offs were sent.
    int noteOffs() const
    {
        int n = 0;
        for (uint32_t v : midi.sent()) n += (v & 0xF0) == 0x80;
        return n;
    }

    std::unique_ptr<editor::YYBJ> editorWindow;
};

}  // namespace testing_support
