// A window procedure's exception, kept until the message loop shows it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/application.h"

namespace {

LRESULT Throw(const char* what) { throw std::runtime_error(what); }

TEST(PendingException, TheFirstIsKeptAndTakenOnce) {
  app::TakePendingException();  // nothing left by another test
  EXPECT_EQ(app::Guarded([] { return Throw("cause"); }), 0);
  app::Guarded([] { return Throw("consequence"); });
  const std::exception_ptr taken = app::TakePendingException();
  ASSERT_TRUE(taken);
  try {
    std::rethrow_exception(taken);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "cause");
  }
  EXPECT_FALSE(app::TakePendingException());
}

}  // namespace
