// The desktop host's bookkeeping, apart from GTK: which replies go where when
// the movie's requests nest, when a closed window may go, and which pages
// count as the movie.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gtk/HandlerNesting.h"
#include "gtk/MovieAddress.h"
#include "gtk/PendingReplies.h"

namespace quillfen {
namespace {

TEST(PendingReplies, NestedRequestsAreAnsweredInnermostFirstEachWithItsOwnReply) {
  PendingReplies<std::string> replies;
  EXPECT_FALSE(replies.SetInnermost("nobody asked")) << "a reply with no request in hand goes nowhere";

  replies.Push("StartOperationX");
  replies.Push("PauseOperationX");  // arrives while the move pumps events
  EXPECT_TRUE(replies.SetInnermost(""));
  auto [inner, innerReply] = replies.Pop();
  EXPECT_EQ(inner, "PauseOperationX");
  ASSERT_TRUE(innerReply.has_value());
  EXPECT_EQ(*innerReply, "");

  // The outer request's reply is set only after the inner one left, and a
  // later reply replaces an earlier one.
  replies.SetInnermost("first");
  replies.SetInnermost("Ok");
  auto [outer, outerReply] = replies.Pop();
  EXPECT_EQ(outer, "StartOperationX");
  EXPECT_EQ(outerReply.value_or("none"), "Ok");
  EXPECT_TRUE(replies.Empty());
}

TEST(PendingReplies, ARequestLeftUnansweredComesBackWithoutAReply) {
  PendingReplies<int> replies;
  replies.Push(1);
  replies.Push(2);  // "exit": the program sets no reply
  EXPECT_FALSE(replies.Pop().second.has_value());
  replies.SetInnermost("<string>x</string>");
  EXPECT_EQ(replies.Pop().second.value_or(""), "<string>x</string>");
}

TEST(HandlerNesting, AClosedWindowGoesOnlyWhenTheOutermostHandlerHasReturned) {
  HandlerNesting nesting;
  std::vector<std::string> done;
  nesting.WhenIdle([&] { done.push_back("idle at once"); });
  EXPECT_EQ(done, std::vector<std::string>{"idle at once"});

  done.clear();
  {
    HandlerNesting::Scope move(nesting);  // the move runs inside a request
    {
      HandlerNesting::Scope cancel(nesting);  // Cancel arrives while it pumps
      nesting.WhenIdle([&] { done.push_back("closed"); });
    }
    EXPECT_TRUE(done.empty()) << "closed while the move was still on the stack";
    EXPECT_FALSE(nesting.Idle());
  }
  EXPECT_EQ(done, std::vector<std::string>{"closed"});
  EXPECT_TRUE(nesting.Idle());

  // The deferred action runs once, not again at the next handler.
  { HandlerNesting::Scope again(nesting); }
  EXPECT_EQ(done.size(), 1u);
}

TEST(MovieAddress, OnlyTheMovieFileItselfIsTheMovie) {
  const std::string movie = "file:///opt/quillfen/Flex/bin/Quillfen.html";
  EXPECT_TRUE(IsMovieAddress(movie, movie));
  EXPECT_TRUE(IsMovieAddress(movie + "#options", movie)) << "a jump inside the page";
  EXPECT_FALSE(IsMovieAddress("file:///opt/quillfen/Flex/bin/Other.html", movie));
  EXPECT_FALSE(IsMovieAddress("file:///opt/quillfen/Flex/bin/Quillfen.html?x=1", movie));
  EXPECT_FALSE(IsMovieAddress("file:///opt/quillfen/Flex/bin/Quillfen.htm", movie));
  EXPECT_FALSE(IsMovieAddress("https://example.org/Flex/bin/Quillfen.html", movie));
  EXPECT_FALSE(IsMovieAddress("about:blank", movie));
  EXPECT_FALSE(IsMovieAddress("", movie));
  EXPECT_FALSE(IsMovieAddress(movie, "")) << "before a movie is loaded nothing is the movie";
}

}  // namespace
}  // namespace quillfen
