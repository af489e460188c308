// The keyboard map drawn from the key table.
#include "keyboard/key_table.h"
#include "keyboard/keyboard_map.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace keyboard;

namespace {

TEST(KeyboardMap, EveryNoteKeyHasItsOwnKeyCap)
{
    QSet<QString> caps;
    for (const NoteKey& k : noteKeys()) {
        const QString cap = keyCapText(k.keyCode);
        EXPECT_EQ(cap.size(), 1) << k.token;
        caps.insert(cap);
    }
    EXPECT_EQ(caps.size(), int(noteKeys().size()));
    EXPECT_EQ(keyCapText(71), "G");
    EXPECT_EQ(keyCapText(222), "'");
    EXPECT_EQ(keyCapText(13), "");
}

TEST(KeyboardMap, DrawnAtTheSizeAsked)
{
    for (auto [w, h] : {std::pair{175, 51}, std::pair{988, 204}, std::pair{1, 1}, std::pair{0, 0}}) {
        const QPixmap map = drawKeyboardMap(w, h);
        EXPECT_EQ(map.width(), std::max(w, 1));
        EXPECT_EQ(map.height(), std::max(h, 1));
    }
}

}  // namespace
