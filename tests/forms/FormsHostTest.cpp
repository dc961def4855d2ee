// What every form shares: the message pump a long handler runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "forms/FormsHost.h"
#include "platform/MessagePump.h"

// The host's pump (which knows that long work is under way) runs the events
// inside every scope; each scope adds its refresh, and gives the pump before
// it back when it ends.
TEST(MessagePumpScope, NestedScopesRunTheHostsPumpAndEachRefreshAndGiveBackTheOuterOne) {
  std::string pumped;
  platform::SetMessagePump([&] { pumped += "host "; });
  {
    forms::MessagePumpScope outer([&] { pumped += "outer "; });
    platform::ProcessMessages();
    {
      forms::MessagePumpScope inner([&] { pumped += "inner "; });
      platform::ProcessMessages();
    }
    platform::ProcessMessages();  // the outer pump again, not the inner one
  }
  platform::ProcessMessages();
  EXPECT_EQ(pumped, "host outer host outer inner host outer host ");
  platform::SetMessagePump(nullptr);
}

TEST(MessagePumpScope, ItsPumpRunsTheWindowEvents) {
  bool fired = false;
  QTimer::singleShot(0, [&] { fired = true; });
  forms::MessagePumpScope scope(nullptr);
  platform::ProcessMessages();
  EXPECT_TRUE(fired);
}

// The three-way question: Escape cancels, Enter takes the preferred answer,
// and the buttons say what they do.
TEST(QtMessages, AThreeWayQuestionCancelsOnEscapeAndPrefersWhatItIsTold) {
  forms::QtMessages messages;
  using Answer = platform::MessageService::Answer;
  auto press = [](Qt::Key key) {
    QTimer::singleShot(0, [key] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      QStringList texts;
      for (QPushButton* b : box->findChildren<QPushButton*>()) texts << b->text().remove('&');
      EXPECT_TRUE(texts.contains("Keep My Edits")) << texts.join(",").toStdString();
      QTest::keyClick(box, key);
    });
  };
  press(Qt::Key_Escape);
  EXPECT_EQ(messages.Ask("Changed on disk.", "Read It Again", "Keep My Edits", Answer::No), Answer::Cancel);
  press(Qt::Key_Return);
  EXPECT_EQ(messages.Ask("Changed on disk.", "Read It Again", "Keep My Edits", Answer::No), Answer::No);
}
