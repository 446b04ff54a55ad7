// A generator that hands out given draws in order, then starts over.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

class FixedDraws {
 public:
  explicit FixedDraws(std::vector<double> draws) : draws_(std::move(draws)) {}
  double Next() { return draws_[count_++ % draws_.size()]; }
  std::size_t count() const { return count_; }

 private:
  std::vector<double> draws_;
  std::size_t count_ = 0;
};
