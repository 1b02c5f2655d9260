#pragma once
// The two kinds of project. The project file holds the type as a number: 0 an
// RCX project, 1 a Joystick & Keyboard project.
#include "model/Variant.h"

enum class ProjectType : Integer {
    // A program for the brick: set-up, tasks and subs, compiled and downloaded.
    Rcx = 0,
    // One task that runs on the PC, reading the joystick and the keyboard.
    JoystickKeyboard = 1,
};

// The type a project file's number stands for: 0 an RCX project, any other
// number a Joystick & Keyboard project (its built-in named values are the
// joystick set).
constexpr ProjectType ProjectTypeOfNumber(Long number)
{
    return number == 0 ? ProjectType::Rcx : ProjectType::JoystickKeyboard;
}

// The number the project file holds for the type.
constexpr Integer ProjectTypeNumber(ProjectType type) { return static_cast<Integer>(type); }
