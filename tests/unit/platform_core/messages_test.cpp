#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using platform::LRESULT;
using testsupport::WaitUntil;

TEST(Messages, PostedMessagesArriveInOrderOnTheWindowThread) {
    platform::MessageWindow window;
    std::vector<int> seen;
    std::thread::id handlerThread;
    window.On(0x401, [&](platform::WPARAM w, platform::LPARAM) -> LRESULT {
        seen.push_back(static_cast<int>(w));
        handlerThread = std::this_thread::get_id();
        return 0;
    });
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) EXPECT_TRUE(platform::PostMessage(window.Handle(), 0x401, i, 0));
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return seen.size() == 100; }));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST(Messages, SendRunsTheHandlerOnTheWindowThreadAndReturnsItsResult) {
    platform::MessageWindow window;
    std::thread::id handlerThread;
    window.On(0x470, [&](platform::WPARAM w, platform::LPARAM l) -> LRESULT {
        handlerThread = std::this_thread::get_id();
        return static_cast<LRESULT>(w) + l;
    });
    EXPECT_EQ(platform::SendMessage(window.Handle(), 0x470, 2, 3), 5);  // same thread: direct

    std::atomic<LRESULT> result{-1};
    std::thread worker([&] { result = platform::SendMessage(window.Handle(), 0x470, 40, 2); });
    ASSERT_TRUE(WaitUntil([&] { return result != -1; }));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    EXPECT_EQ(platform::SendMessage(window.Handle(), 0x999, 1, 1), 0);  // no handler
}

TEST(Messages, AGoneWindowRefusesPostsAndAnswersSendsWithZero) {
    platform::WindowHandle handle;
    int calls = 0;
    {
        platform::MessageWindow window;
        handle = window.Handle();
        window.On(0x401, [&](platform::WPARAM, platform::LPARAM) -> LRESULT { return ++calls; });
        EXPECT_TRUE(platform::PostMessage(handle, 0x401, 0, 0));  // still queued when destroyed
    }
    std::atomic<LRESULT> sent{-1};
    std::thread worker([&] { sent = platform::SendMessage(handle, 0x401, 0, 0); });
    worker.join();
    EXPECT_EQ(sent, 0);
    EXPECT_FALSE(platform::PostMessage(handle, 0x401, 0, 0));
    ASSERT_TRUE(testsupport::ProcessPosted());
    EXPECT_EQ(calls, 0);
}

TEST(MessageBox, AWorkersBoxIsShownOnTheUserInterfaceThreadWhileTheWorkerWaits) {
    std::atomic<bool> shown{false};
    std::thread::id shownOn;
    QString text, caption;
    // Answers the real box with Cancel as soon as it is up.
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        shownOn = std::this_thread::get_id();
        text = box->text();
        caption = box->windowTitle();
        shown = true;
        box->button(QMessageBox::Cancel)->click();
    };
    QTimer::singleShot(10, answer);
    std::atomic<int> result{0};
    std::thread worker([&] { result = platform::MessageBox(0, "Stop now?", "Note", platform::MB_OKCANCEL); });
    ASSERT_TRUE(WaitUntil([&] { return result != 0; }));
    worker.join();
    EXPECT_TRUE(shown);
    EXPECT_EQ(shownOn, std::this_thread::get_id());
    EXPECT_EQ(text, "Stop now?");
    EXPECT_EQ(caption, "Note");
    EXPECT_EQ(result, platform::IDCANCEL);
}

TEST(MessageBox, CtrlCCopiesCaptionTextAndButtons) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    std::function<void()> copyThenAnswer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, copyThenAnswer);
            return;
        }
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(10, copyThenAnswer);
    EXPECT_EQ(platform::MessageBox(0, "Line one.\nLine two.", "Note", platform::MB_OKCANCEL),
              platform::IDOK);
    const std::string copied = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_NE(copied.find("Note\n"), std::string::npos) << copied;
    EXPECT_NE(copied.find("Line one.\nLine two.\n"), std::string::npos) << copied;
    EXPECT_NE(copied.find("OK"), std::string::npos) << copied;
    EXPECT_NE(copied.find("Cancel"), std::string::npos) << copied;
}

TEST(MessageBox, TheHookReplacesTheBoxOnAnyThread) {
    std::vector<platform::MessageBoxRequest> seen;
    platform::SetMessageBoxHook([&](const platform::MessageBoxRequest& r) {
        seen.push_back(r);
        return platform::IDYES;
    });
    std::atomic<int> answer{0};
    std::thread worker([&] { answer = platform::MessageBox(7, "text", "", platform::MB_YESNO); });
    worker.join();
    platform::SetMessageBoxHook(nullptr);
    EXPECT_EQ(answer, platform::IDYES);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, 7u);
    EXPECT_EQ(seen[0].text, "text");
    EXPECT_EQ(seen[0].type, platform::MB_YESNO);
}

}  // namespace
