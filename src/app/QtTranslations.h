#pragma once

class QCoreApplication;

// Loads Qt's own simplified-Chinese texts, so that standard buttons ("是", "否", "取消") and the
// file dialogs speak the same language as the rest of the program. False when the translation files
// are not installed; Qt's English texts then stay.
bool InstallQtTranslations(QCoreApplication& application);
