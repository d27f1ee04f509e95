#!/usr/bin/env python3
"""Writes messy_input.csv, a hand-made database file with the quirks of older
files and other tools, and messy_expected.csv, what opening it and saving it
must write. The expected records are spelled out here by hand, independently
of the program's reader and writer."""

lines = [
    b'North DMA',  # a single word: line 2 is a header too
    b'Serial,GridRef,Comment1,Comment2',
    b'1234567, "AB 1234 5678" ,"12 High St","valve",2003/01/02,"","2003/02/01"," leak ",12,5,'
    b'"2003/01/01","n",7,3,"Older note"',
    b'',  # empty lines are skipped
    b'2345678,"XY 1 2","c1","c2","2004/05/06",""',  # six fields, short grid reference
    # unquoted statuses with no quote after them on the line read as empty
    b'3456789,"SK 1111 2222","a","b","","",2005/01/01,L,20,3,2005/01/08,N,10,2,',
    b'" 4567890 ","SU 0000 0001","A very long address line here","x","","08:30:00", 2006/01/01 ,'
    b'"w",123,.5,"see ""quotes"" inside"',
    b'5678901,"TQ 9999 9999","Caf\xe9","Stra\xdfe","","","2007/01/01","l\xe4rm",9,9,"' + b'z' * 300 + b'"',
]
# CR LF mostly, one bare CR, and no line end after the last line
data = b'\r\n'.join(lines[:7]) + b'\r' + lines[7]
open('messy_input.csv', 'wb').write(data)

E = ('', '', 0, 0)
records = [
    (1234567, 'AB 1234 5678', '12 High St', 'valve', '2003/01/02', '',
     [('2003/02/01', 'LEAK', 12, 5), ('2003/01/01', 'N', 7, 3)], 'Older note'),
    (2345678, '__ ____ ____', 'c1', 'c2', '2004/05/06', '', [], ''),
    (3456789, 'SK 1111 2222', 'a', 'b', '', '', [('2005/01/01', '', 20, 3), ('2005/01/08', '', 10, 2)], ''),
    (4567890, 'SU 0000 0001', 'A very long address ', 'x', '', '08:30:00',
     [('2006/01/01', 'W', 12, 0)], 'see ""quotes"" inside'),
    (5678901, 'TQ 9999 9999', 'Caf\xe9', 'Stra\xdfe', '', '', [('2007/01/01', 'L\xc4RM', 9, 9)], 'z' * 255),
]

def q(t):
    return '"' + t + '"'

names = ['Serial', 'GridRef', 'Comment1', 'Comment2', 'Deployed', 'Received', 'Date1', 'Status1', 'Level1', 'Spread1']
for n in range(2, 51):
    names += ['Date%d' % n, 'Status%d' % n, 'Level%d' % n, 'Spread%d' % n]
names.append('UserComments')
out = ','.join(q(n) for n in names) + '\r\n'
for serial, grid, c1, c2, dep, rec, readings, comment in records:
    fields = [str(serial), q(grid), q(c1), q(c2), q(dep), q(rec)]
    for date, status, level, spread in readings + [E] * (50 - len(readings)):
        fields += [q(date), q(status), str(level), str(spread)]
    fields.append(q(comment))
    out += ','.join(fields) + '\r\n'
open('messy_expected.csv', 'wb').write(out.encode('cp1252'))
