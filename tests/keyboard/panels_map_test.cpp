// The keyboard map drawn from the key table.
#include "keyboard/key_table.h"
#include "keyboard/keyboard_map.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(KeyboardMap, EveryNoteKeyHasItsOwnKeyCap)
{
    QSet<QString> caps;
    for (const keyboard::NoteKey& k : keyboard::noteKeys()) {
        const QString cap = keyboard::keyCapText(k.keyCode);
        EXPECT_EQ(cap.size(), 1) << k.token;
        caps.insert(cap);
    }
    EXPECT_EQ(caps.size(), int(keyboard::noteKeys().size()));
}

}  // namespace
