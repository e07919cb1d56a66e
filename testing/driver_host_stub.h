#pragma once
// A stand-in for a connection in engine tests: owns one driver and answers its kind.

#include <memory>

#include "engine/db_driver.h"

namespace ledgerix::testing {

class DriverHostStub : public DbDriverHost {
 public:
  DriverHostStub(std::unique_ptr<DbDriver> driver, DriverKind kind)
      : driver_(std::move(driver)), kind_(kind) {}
  DbDriver* Driver() override { return driver_.get(); }
  DriverKind Kind() const override { return kind_; }
  void SetDriver(std::unique_ptr<DbDriver> driver) { driver_ = std::move(driver); }

 private:
  std::unique_ptr<DbDriver> driver_;
  DriverKind kind_;
};

}  // namespace ledgerix::testing
