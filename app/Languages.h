#pragma once
// The languages the program offers ("Language.config" in the default data folder) and which one a
// start takes: the stored choice, else the desktop's language.
#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

namespace q9::app {

struct LanguageEntry {
    int id = 0;          // the number the choice is stored as
    QString name;        // the language name of the text table
    QString file;        // the skin's language file
    QString textId;      // the list entry's text id
};

// Empty when the file is missing or unusable.
std::vector<LanguageEntry> readLanguageList(const QString& path);
// "Language.config" of the default data beside the program.
QString languageListPath();

// The stored id's entry. Without a stored choice the desktop decides: a Chinese desktop takes the
// entry of id 520 (the program's own default), any other the English entry; 0 when neither exists.
int chooseLanguage(const std::vector<LanguageEntry>& list, std::optional<int> storedId, const QLocale& desktop);

// The stored choice (settings store "SOFTWARE/<product>/LANGUAGE"), if one was ever made.
std::optional<int> storedLanguageId();
void storeLanguageId(int id);

} // namespace q9::app
