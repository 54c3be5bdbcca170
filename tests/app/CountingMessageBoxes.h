#pragma once
#include "Utility/MessageBox.h"

#include <string>
#include <vector>

// Keeps the body of every message the program shows instead of showing it.
class CountingMessageBoxes : public MessageBoxPresenter {
public:
    void present(const std::string&, const std::string& body, const std::string&) override { bodies.push_back(body); }
    std::vector<std::string> bodies;
};
