#pragma once

#include <QTranslator>

// Qt's own texts in the program's windows, such as the menu of an edit box,
// in Estonian. Debian ships no Estonian translation of Qt, so the few texts
// that the program's controls show are kept here. While it is installed in
// the application, every window of the process gets them.
class CEstonianTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char* pszContext, const char* pszSourceText,
                      const char* pszDisambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};
