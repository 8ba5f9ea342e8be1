// Database maintenance on real database files: the listing of every format, the count, deleting
// with the confirmation, and the files it cannot read.

#include "controllerfixture.h"

#include "core/commandids.h"
#include "core/profile.h"
#include "ui/commandhints.h"
#include "ui/dbalbumlist.h"
#include "ui/dbmaintdlg.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

QFont QueueFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

} // namespace

class DatabaseMaintenance : public ::testing::Test {
protected:
    void Write(const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray Contents() {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Open() { dialog = std::make_unique<TDBMaintDlg>(nullptr, path, QueueFont(), &hints); }
    QStringList Rows() {
        QStringList rows;
        for (int i = 0; i < dialog->List()->Count(); ++i)
            rows << dialog->List()->GetString(i);
        return rows;
    }
    QStringList SectionsOnDisk() { return TProfile(path).Sections(); }
    int Selected() { return dialog->List()->Model().Selected(); }
    void DeleteRow(int row, TMessageAnswer answer = TMessageAnswer::Yes) {
        dialog->List()->Model().Select(row);
        reporter.answers << answer;
        dialog->DeleteButton()->click();
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("cdalb.idb"));
    TCaptureReporter reporter;
    THintRecorder hints;
    std::unique_ptr<TDBMaintDlg> dialog;
};

TEST_F(DatabaseMaintenance, ListsAlbumsOfEveryFormatByTitle) {
    Write("[2823243210180]\nDatabaseVersion=2.7\nTitle=Harbour Lights\nAlbumTotalLength=2823\n"
          "NumberOfTracks=12\nSong1=One\n\n"
          "[2400111]\nDatabaseVersion=2.0\nTitle=old two\nAlbumTotalLength=2400\n"
          "NumberOfTracks=9\nSong1=1, Intro, 1\n\n"
          "[1234567]\nDatabaseVersion=1.4\nTitle=Ancient\nSong1=a\nSong2=b\nSong3=c\nSong5=e\n\n"
          "[0999888]\nTitle=No Lookup\nUseLongDBLookup=0\nSong1=x\n\n"
          "[77]\nTitle=Short Name\nSong1=\n\n"
          "[3000111]\nDatabaseVersion=2.7\nSong1=Live [Bonus] cut\n");
    Open();
    ASSERT_TRUE(dialog->IsReadable());
    EXPECT_EQ(Rows(), (QStringList{"???\t\t\t3000111", "Ancient\t3\t20:34\t1234567",
                                   "Harbour Lights\t12\t47:03\t2823243210180",
                                   "No Lookup\t\t16:39\t0999888", "old two\t9\t40:00\t2400111",
                                   "Short Name\t\t01:17\t77"}));
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("6"));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(hints.shown,
              QStringList{QStringLiteral("Querying database for album infomation...")});
    EXPECT_EQ(hints.open, 0);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(DatabaseMaintenance, TheListUsesTheQueueFont) {
    Write("[1]\nTitle=A\n");
    Open();
    EXPECT_EQ(dialog->List()->font().pixelSize(), QueueFont().pixelSize());
    EXPECT_EQ(dialog->List()->RowHeight(),
              std::max(12, QFontMetrics(dialog->List()->font()).lineSpacing()));
}

TEST_F(DatabaseMaintenance, TwoAlbumsWithOneTitleEachDeleteTheirOwnSection) {
    Write("[111]\nDatabaseVersion=2.7\nTitle=Twin\nAlbumTotalLength=100\nNumberOfTracks=2\n"
          "[222]\nDatabaseVersion=2.7\nTitle=Twin\nAlbumTotalLength=200\nNumberOfTracks=3\n"
          "[333]\nDatabaseVersion=2.7\nTitle=Other\n");
    Open();
    ASSERT_EQ(Rows().size(), 3);
    const int first = dialog->List()->Section(1) == QStringLiteral("111") ? 1 : 2;
    DeleteRow(first);
    EXPECT_EQ(SectionsOnDisk(), (QStringList{"222", "333"}));
    ASSERT_EQ(reporter.messages.size(), 1);
    const TMessage& question = reporter.messages[0];
    EXPECT_EQ(question.text, QStringLiteral("Remove this album from the database?"));
    EXPECT_EQ(question.caption, QStringLiteral("Korvo"));
    EXPECT_EQ(question.icon, TMessageIcon::Question);
    EXPECT_EQ(question.buttons, TMessageButtons::YesNo);
    EXPECT_EQ(question.defaultAnswer, TMessageAnswer::No);
    EXPECT_TRUE(question.beep);
    EXPECT_EQ(dialog->List()->Section(1), QStringLiteral("222"));
    DeleteRow(1);
    EXPECT_EQ(SectionsOnDisk(), QStringList{"333"});
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("1"));
}

TEST_F(DatabaseMaintenance, DeletingTheLastRowSelectsTheFirst) {
    Write("[1]\nTitle=A\n[2]\nTitle=B\n[3]\nTitle=C\n");
    Open();
    DeleteRow(2);
    EXPECT_EQ(Selected(), 0);
    // Old-format sections take their length from the section name's leading digits.
    EXPECT_EQ(Rows(), (QStringList{"A\t\t00:01\t1", "B\t\t00:02\t2"}));
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("2"));
    DeleteRow(0);
    EXPECT_EQ(Selected(), 0) << "the row now at the same index";
    EXPECT_EQ(Rows(), QStringList{"B\t\t00:02\t2"});
}

TEST_F(DatabaseMaintenance, DeletingTheOnlyRowLeavesAnEmptyList) {
    Write("[5]\nTitle=Alone\nSong1=x\n");
    Open();
    DeleteRow(0);
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("0"));
    EXPECT_TRUE(SectionsOnDisk().isEmpty());
    reporter.messages.clear();
    dialog->DeleteButton()->click();
    EXPECT_TRUE(reporter.messages.isEmpty()) << "nothing selected: no question";
}

TEST_F(DatabaseMaintenance, AnsweringNoChangesNothing) {
    Write("[1]\nTitle=Keep\n[2]\nTitle=Also\n");
    const QByteArray before = Contents();
    Open();
    DeleteRow(1, TMessageAnswer::No);
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("2"));
}

TEST_F(DatabaseMaintenance, AnEmptyDatabaseHasNoAlbums) {
    Write("");
    Open();
    EXPECT_TRUE(dialog->IsReadable());
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("0"));
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(DatabaseMaintenance, AMissingDatabaseIsReportedAndTheDialogCloses) {
    Open();
    EXPECT_FALSE(dialog->IsReadable());
    ASSERT_EQ(reporter.messages.size(), 1);
    const TMessage& message = reporter.messages[0];
    EXPECT_EQ(message.text, path + QStringLiteral("\n\nCannot read the database."));
    EXPECT_EQ(message.caption, QStringLiteral("Korvo"));
    EXPECT_EQ(message.icon, TMessageIcon::Warning);
    EXPECT_TRUE(message.beep);
    EXPECT_EQ(hints.open, 0) << "the status text is cleared";
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    dialog->show();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DatabaseMaintenance, AFailedDeleteKeepsTheRow) {
    Write("[1]\nTitle=Stays\n");
    Open();
    // A folder in the file's place: no user, root included, can write the database now.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    DeleteRow(0);
    EXPECT_EQ(Rows(), QStringList{"Stays\t\t00:01\t1"});
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("1"));
    ASSERT_EQ(reporter.messages.size(), 2);
    EXPECT_EQ(reporter.messages[1].text, path + QStringLiteral("\n\nCannot write the database."));
    EXPECT_EQ(reporter.messages[1].icon, TMessageIcon::Warning);
}

// Headers with a comment after them or blanks inside the brackets are albums to the profile layer,
// so they are listed and each row deletes its own album.
TEST_F(DatabaseMaintenance, ListsAndDeletesEveryHeaderTheProfileReads) {
    Write("[123] ;note\nDatabaseVersion=2.7\nTitle=Commented\nNumberOfTracks=4\n"
          "[ 456 ]\r\nDatabaseVersion=2.7\nTitle=Spaced\nAlbumTotalLength=61\n"
          "[789]\nTitle=Plain\nSong1=Live [Bonus] cut\n");
    Open();
    EXPECT_EQ(Rows(),
              (QStringList{"Commented\t4\t\t123", "Plain\t1\t13:09\t789", "Spaced\t\t01:01\t456"}));
    EXPECT_EQ(dialog->CountText()->text(), QStringLiteral("3"));
    DeleteRow(2);
    EXPECT_EQ(SectionsOnDisk(), (QStringList{"123", "789"}));
    DeleteRow(0);
    EXPECT_EQ(SectionsOnDisk(), QStringList{"789"});
    EXPECT_EQ(Rows(), QStringList{"Plain\t1\t13:09\t789"});
    EXPECT_FALSE(Contents().contains("Commented"));
}

TEST(DatabaseMaintenanceCommand, HintSaysWhatTheDialogDoes) {
    EXPECT_EQ(CommandHint(CmDatabaseMaintain),
              QStringLiteral("Database maintenance: lists all albums and allows deleting some"));
}
