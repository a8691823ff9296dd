#pragma once

#include <exception>
#include <iostream>
#include <new>

// Runs a program's body as its main: a failure nobody expected still ends with a message
// naming the program and the exit status 1, never an abort.
template<class Body>
int runGuarded(const char* program, Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::cerr << program << ": out of memory\n";
    } catch (const std::exception& error) {
        std::cerr << program << ": " << error.what() << "\n";
    } catch (...) {
        std::cerr << program << ": unexpected failure\n";
    }
    return 1;
}
