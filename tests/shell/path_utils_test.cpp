#include "shell/path_utils.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

struct PathCase {
    const char* path; // Windows form; the '/' twin swaps every backslash
    const char* withTrailing;
    const char* folder;
    const char* name;
    const char* baseName;
    const char* extension;
};

const PathCase pathCases[] = {
    {"C:\\a\\b.txt", "C:\\a\\b.txt\\", "C:\\a\\", "b.txt", "b", "txt"},
    {"C:\\a", "C:\\a\\", "C:\\", "a", "a", ""},
    {"C:\\", "C:\\", "C:\\", "", "C:\\", ""},
    {"", "\\", "", "", "", ""},
    {"b.txt", "b.txt\\", "", "", "b", "txt"},
    {"C:\\a\\", "C:\\a\\", "C:\\a\\", "", "C:\\a\\", ""},
    {"C:\\a\\b.c.txt", "C:\\a\\b.c.txt\\", "C:\\a\\", "b.c.txt", "b.c", "txt"},
    {"C:\\a.dir\\b", "C:\\a.dir\\b\\", "C:\\a.dir\\", "b", "b", ""},
    {"C:\\a\\.lrc", "C:\\a\\.lrc\\", "C:\\a\\", ".lrc", "", "lrc"},
    {"C:\\歌詞\\さくら.kra", "C:\\歌詞\\さくら.kra\\", "C:\\歌詞\\", "さくら.kra", "さくら", "kra"},
};

QString twin(const char* windowsForm, QChar separator) {
    QString text = QString::fromUtf8(windowsForm);
    text.replace(QLatin1Char('\\'), separator);
    return text;
}

TEST(PathUtils, HelpersGiveTheSameResultsWithEitherSeparator) {
    for (const QChar separator : {QLatin1Char('\\'), QLatin1Char('/')}) {
        for (const PathCase& c : pathCases) {
            SCOPED_TRACE(twin(c.path, separator).toStdString());
            const QString path = twin(c.path, separator);
            EXPECT_EQ(withTrailingSeparator(path, separator), twin(c.withTrailing, separator));
            EXPECT_EQ(folderOf(path, separator), twin(c.folder, separator));
            EXPECT_EQ(nameOf(path, separator), twin(c.name, separator));
            EXPECT_EQ(baseNameOf(path, separator), twin(c.baseName, separator));
            EXPECT_EQ(extensionOf(path, separator), twin(c.extension, separator));
        }
    }
}

TEST(PathUtils, TheOtherSlashIsAnOrdinaryCharacter) {
    const QString path = QStringLiteral("C:/a/b.txt");
    EXPECT_EQ(folderOf(path, QLatin1Char('\\')), QString());
    EXPECT_EQ(nameOf(path, QLatin1Char('\\')), QString());
    EXPECT_EQ(baseNameOf(path, QLatin1Char('\\')), QStringLiteral("C:/a/b"));
    EXPECT_EQ(withTrailingSeparator(path, QLatin1Char('\\')), QStringLiteral("C:/a/b.txt\\"));
    EXPECT_EQ(nameOf(QStringLiteral("C:\\a/b"), QLatin1Char('/')), QStringLiteral("b"));
}

TEST(PathUtils, SplitAtFirstCutsAtTheFirstOccurrenceOnly) {
    struct Case {
        const char* source;
        const char* separator;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"a\nb", "\n", "a", "b"}, {"a", "\n", "a", ""},           {"\nb", "\n", "", "b"},
        {"a\n", "\n", "a", ""},   {"a\nb\nc", "\n", "a", "b\nc"}, {"ab::cd", "::", "ab", "cd"},
        {"", "\n", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const SplitText split =
            splitAtFirst(QString::fromUtf8(c.source), QString::fromUtf8(c.separator));
        EXPECT_EQ(split.before, QString::fromUtf8(c.before));
        EXPECT_EQ(split.after, QString::fromUtf8(c.after));
    }
}

TEST(PathUtils, SplitAtFirstFindsSeparatorsFarBeyondSixteenBits) {
    const QString source = QString(40000, QLatin1Char('a')) + QStringLiteral("=tail");
    const SplitText split = splitAtFirst(source, u"=");
    EXPECT_EQ(split.before.size(), 40000);
    EXPECT_EQ(split.after, QStringLiteral("tail"));
}

} // namespace
} // namespace tavorin
