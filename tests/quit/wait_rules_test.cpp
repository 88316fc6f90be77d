// The rules of the wait after a quit request: when the end-session step is due and
// which window is a dialog the program asks its user with.
#include "quit/wait_rules.h"

#include <gtest/gtest.h>

using quit_rules::AskedWindow;
using quit_rules::EndSessionDue;
using quit_rules::IsOwnDialog;

TEST(WaitRules, EndSessionIsDueWhenTheAskedWindowIsGoneOrHiddenElseAtHalfTheTimeout) {
    AskedWindow shown{true, true, true, true};
    EXPECT_FALSE(EndSessionDue(shown, 2499, 5000));
    EXPECT_TRUE(EndSessionDue(shown, 2500, 5000));

    AskedWindow gone{true, false, true, false};
    EXPECT_TRUE(EndSessionDue(gone, 0, 5000));
    AskedWindow hidden{true, true, true, false};
    EXPECT_TRUE(EndSessionDue(hidden, 0, 5000));
    // A window that was hidden all along (a resident program's) tells nothing.
    AskedWindow alwaysHidden{true, true, false, false};
    EXPECT_FALSE(EndSessionDue(alwaysHidden, 100, 5000));
    EXPECT_TRUE(EndSessionDue(alwaysHidden, 2500, 5000));

    // The quit parameter asks through no window: only the time decides.
    AskedWindow none;
    EXPECT_FALSE(EndSessionDue(none, 1000, 5000));
    EXPECT_TRUE(EndSessionDue(none, 3000, 5000));
}

TEST(WaitRules, OwnDialogIsVisibleEnabledOwnedAndNew) {
    EXPECT_TRUE(IsOwnDialog(true, true, true, false));
    EXPECT_FALSE(IsOwnDialog(false, true, true, false));
    EXPECT_FALSE(IsOwnDialog(true, false, true, false)); // behind a dialog of its own
    EXPECT_FALSE(IsOwnDialog(true, true, false, false)); // a window of its own, no dialog
    EXPECT_FALSE(IsOwnDialog(true, true, true, true));   // was already there
}
