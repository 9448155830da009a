#pragma once

#include "fakes/fakes.h"
#include "forms/forms.h"
#include "pet/Form1.h"

#include <gtest/gtest.h>

// A pet started on the fakes. Tests script the random numbers and the store before Start().
class PetTest : public ::testing::Test {
  protected:
    // Runs the start-up; false when the program ended during it.
    bool Start() {
        try {
            forms.form1();
            return true;
        } catch (const ProgramEnded&) {
            return false;
        }
    }
    Form1& pet() { return forms.form1(); }

    FakePlatform p;
    Forms forms{p.services};
};
