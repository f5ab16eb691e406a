// Windows and widgets of the editor; the library gathers them for the program and tests.
