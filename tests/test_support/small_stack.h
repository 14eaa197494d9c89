// Runs a piece of a test on a thread with a small stack: code that recursed
// once per level of a deep tree would overflow it, iterative code does not.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstddef>

template <class Fn>
void OnSmallStack(std::size_t bytes, Fn fn) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, bytes);
  pthread_t thread;
  auto call = [](void* p) -> void* {
    (*static_cast<Fn*>(p))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, call, &fn), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}
