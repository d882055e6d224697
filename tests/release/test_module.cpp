// A library of the release tests' viewer folders: nothing but its version
// record (test_module.rc.in); the tests install, compare and remove it.
