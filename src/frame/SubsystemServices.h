#pragma once

#include <map>
#include <typeindex>
#include <typeinfo>

// What the shell owns for one subsystem's windows alone (the monitor poll for the monitor
// windows, the panel codes for the online editor), lent by type, so that the layer the windows
// share names none of those types. The shell lends every service before the first window opens.
class SubsystemServices {
public:
    template <typename Service> void Lend(Service& service) {
        services_[std::type_index(typeid(Service))] = &service;
    }

    template <typename Service> Service& Get() const {
        return *static_cast<Service*>(services_.at(std::type_index(typeid(Service))));
    }

private:
    std::map<std::type_index, void*> services_;
};
