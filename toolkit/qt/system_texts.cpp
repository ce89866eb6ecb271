// The window system's own texts (file dialogs, standard buttons) in the
// programs' language, from the Qt translations installed with Qt.

#include <QApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "toolkit/qt/internal.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

// Owned by the application object, so it goes with it.
QPointer<QTranslator> gSystemTexts;

} // namespace

bool setSystemTextLanguage(std::u16string_view languageId)
{
    if (QCoreApplication::instance() == nullptr) {
        return false;
    }
    if (gSystemTexts != nullptr) {
        QCoreApplication::removeTranslator(gSystemTexts);
        delete gSystemTexts;
    }
    const QString language = qt::toQ(languageId.substr(0, languageId.find(u'_')));
    if (language.isEmpty() || language == QStringLiteral("en")) {
        return true;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    gSystemTexts = translator;
    return true;
}

} // namespace toolkit
