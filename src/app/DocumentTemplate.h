#pragma once

#include <QString>

// The document template text (string 128): seven fields separated by line breaks that name the
// window, the untitled document, the document type, its file filter and default extension.
struct DocumentTemplate {
    QString windowTitle;  // "Orvan Servo v0.9.080331"
    QString documentName; // empty: documents are named by their file
    QString untitledName; // "无标题"
    QString typeName;     // "Orvan Servo"
    QString filterName;   // "Orvan Servo 文档 (*.nvp)"
    QString extension;    // ".nvp"
    QString fileTypeId;
    QString fileTypeName;
};

// Splits a template text into its fields; missing fields stay empty.
DocumentTemplate ParseDocumentTemplate(const QString& text);
// The program's own template (string 128).
const DocumentTemplate& ProgramDocumentTemplate();

// The name the window shows for a document: the file's name, or the untitled name.
QString DocumentDisplayName(const QString& path, const DocumentTemplate& docTemplate);
// The main window's title: document name first, then the window title ("无标题 - Orvan Servo
// v0.9.080331"). `modifiedMarker` is put right after the document name ("[*]" for Qt windows).
QString FrameTitle(const QString& path, const DocumentTemplate& docTemplate,
                   const QString& modifiedMarker = {});

// A file filter of the string table ("description|patterns|description|patterns||") in the form
// Qt's file dialogs take ("description (patterns);;..."). "*.*" means every file there, so it
// becomes "*"; several patterns of one entry are separated by ';' in the table and by blanks in Qt.
QString QtFileFilter(const QString& tableFilter);

// The path Save As writes to: a name that does not end in ".nvp" (in any case) gets ".nvp"
// appended, so that every saved file can be opened again (Open takes only that extension).
QString WithParameterFileExtension(const QString& path);
