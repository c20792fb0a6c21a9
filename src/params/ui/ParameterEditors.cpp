#include "params/ui/ParameterEditors.h"

#include "drive/ParameterCatalogue.h"
#include "params/BitFieldEditors.h"
#include "params/ui/EditValueDialog.h"
#include "params/ui/EditorDialogs.h"

#include <memory>

namespace {

std::unique_ptr<CValueEditorDialog> MakeEditor(QWidget* parent, const ParamCode& code,
                                               int32_t value, int32_t min, int32_t max) {
    const QString text = code.Text();
    switch (EditorKindOf(text)) {
    case ValueEditorKind::Digits:
    case ValueEditorKind::ContactMask:
        if (const FieldEditor* editor = FieldEditorFor(text)) {
            return std::make_unique<CEditFieldsDialog>(*editor, value, parent);
        }
        break;
    case ValueEditorKind::ContactFunction:
        return std::make_unique<CEditHn501Dialog>(text, value, parent);
    case ValueEditorKind::Rigidity: return std::make_unique<CEditCn026Dialog>(value, parent);
    case ValueEditorKind::Model: return std::make_unique<CEditCn030Dialog>(value, parent);
    case ValueEditorKind::Generic: break;
    }
    return std::make_unique<CEditValueDialog>(text, ParameterName(code), UnitText(code),
                                              RangeText(code, min, max), min, max, value, parent);
}

} // namespace

bool EditParameterValue(QWidget* parent, const ParamCode& code, int32_t* value, int32_t min,
                        int32_t max, Messenger& /*messenger: the editors ask the user nothing*/) {
    if (!value) {
        return false;
    }
    const std::unique_ptr<CValueEditorDialog> editor = MakeEditor(parent, code, *value, min, max);
    if (editor->exec() != QDialog::Accepted) {
        return false;
    }
    *value = editor->Value();
    return true;
}
