// The parameter editor shows the document's values also after they changed behind it: a value
// typed into a group window, a group read, so that a write of a ticked row sends what the user
// sees.

#include "params/ui/ParaEditDialog.h"
#include "params/ui/ParaGroupDialog.h"
#include "support/AppHarness.h"
#include "support/ParameterWindowSupport.h"
#include "support/ViewParameterWindows.h"

TEST(EditorFollowsDocument, ReopenedEditorShowsValuesChangedInAGroupWindow) {
    AppHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.Frame().Trigger(Command::ParameterEditor));
    CParaEditDialog* editor = ParameterEditorWindow(h.View());
    ASSERT_NE(editor, nullptr);
    const int cn001 = editor->RowOf({'C', 1});
    ASSERT_GE(cn001, 0);
    editor->close();

    ASSERT_TRUE(h.Frame().Trigger(Command::ControlParameters));
    CParaGroupDialog* group = GroupWindow(h.View(), ParamGroup::Control);
    ASSERT_NE(group, nullptr);
    const int32_t typed = h.app->Document().values.control[0] == 3 ? 4 : 3;
    Grid(*group)->item(0, 2)->setText(QString::number(typed)); // Cn001's value cell
    ASSERT_EQ(h.app->Document().values.control[0], typed);

    ASSERT_TRUE(h.Frame().Trigger(Command::ParameterEditor));
    EXPECT_EQ(editor->List()->item(cn001, 2)->text(), QString::number(typed));
}
