// The WMI of a simulated machine. Queries are answered by reading their
// text: the six shapes a team collector sends, each on an object path the
// provider knows; any other text is an invalid query and an unknown path
// is not found, so a wrong query never gets an answer by accident.
#pragma once

#include <memory>

#include "platform/sim/machine.h"
#include "platform/wmi.h"

namespace linkscope::sim {

class SimWmi final : public platform::WmiApi {
public:
    explicit SimWmi(std::shared_ptr<const Machine> machine) : machine_(std::move(machine)) {}

    void InitializeCom() override { ++comDepth_; }
    void UninitializeCom() override { --comDepth_; }
    // Without a teaming provider in the machine file, connecting to its
    // namespace is refused as on a host without the software.
    std::unique_ptr<platform::WmiLocator> CreateLocator() override;

    // COM initialisations not yet balanced by an uninitialisation.
    int ComDepth() const { return comDepth_; }

private:
    std::shared_ptr<const Machine> machine_;
    int comDepth_ = 0;
};

}  // namespace linkscope::sim
