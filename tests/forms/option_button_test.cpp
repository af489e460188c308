// Option buttons as the windows use them: a click only ever selects, code can clear the selected
// button of a group, and clearing runs no Click.
#include "forms/option_button.h"

#include <QTest>
#include <QWidget>
#include <array>
#include <gtest/gtest.h>

namespace {

TEST(OptionButton, AButtonAloneStaysSelectedWhenClickedAgain)
{
    QWidget panel;
    auto* lone = new forms::OptionButton(QStringLiteral("试听"), &panel);
    int clicks = 0;
    forms::onOptionClick(lone, &panel, [&] { ++clicks; });
    panel.show();
    QTest::mouseClick(lone, Qt::LeftButton);
    QTest::mouseClick(lone, Qt::LeftButton);
    EXPECT_TRUE(lone->isChecked());
    EXPECT_EQ(clicks, 2);   // the second click on the selected button still counts once
    forms::unselectOption(lone);
    EXPECT_FALSE(lone->isChecked());
    EXPECT_EQ(clicks, 2);
}

TEST(OptionButton, CodeClearsTheSelectedButtonOfAGroup)
{
    QWidget panel;
    std::array<QRadioButton*, 4> group{};
    int clicks = 0;
    for (int i = 0; i < 4; ++i) {
        group[i] = new QRadioButton(QStringLiteral("录音"), &panel);
        group[i]->setGeometry(50 * i, 0, 48, 24);
        forms::onOptionClick(group[i], &panel, [&] { ++clicks; });
    }
    panel.show();
    QTest::mouseClick(group[2], Qt::LeftButton);
    group[2]->setChecked(false);   // what Qt does on its own: nothing
    ASSERT_TRUE(group[2]->isChecked());
    forms::unselectOption(group[2]);
    EXPECT_FALSE(group[2]->isChecked());
    EXPECT_EQ(clicks, 1);
    // The group stays one group.
    QTest::mouseClick(group[0], Qt::LeftButton);
    QTest::mouseClick(group[3], Qt::LeftButton);
    EXPECT_FALSE(group[0]->isChecked());
    EXPECT_TRUE(group[3]->isChecked());
    EXPECT_EQ(clicks, 3);
}

}  // namespace
