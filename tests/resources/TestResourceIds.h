/* Identifiers of the test resources, for test.rc and the tests. */
#ifndef VEXLO_TEST_RESOURCE_IDS_H
#define VEXLO_TEST_RESOURCE_IDS_H

/* Strings. Ids 20 and 21 lie in a block that exists but have no text;
 * no block holds id 300. */
#define IDS_LENGTH_30 16
#define IDS_LENGTH_31 17
#define IDS_LENGTH_100 18
#define IDS_LENGTH_63 19
#define IDS_EMPTY 20
#define IDS_UNSET 21
#define IDS_ANSI 22
#define IDS_NOT_ANSI 23
#define IDS_MISSING 300
#define IDS_FAR_BLOCK 4100

#define IDD_TEST_EXTENDED 10
#define IDD_TEST_PLAIN 11
#define IDR_TEST_MENU_EXTENDED 10
#define IDR_TEST_MENU_PLAIN 11
#define IDR_TEST_ACCELERATORS 10
#define IDC_TEST_POINTER 1

#endif /* VEXLO_TEST_RESOURCE_IDS_H */
