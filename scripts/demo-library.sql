-- The demo library: twelve self-service terminals and the accounts they log in with.
create table lib_user (
    us_code char(6) primary key,
    us_name varchar(40),
    us_pass char(6)
);
create table lib_zizhu (
    zz_user char(6),
    zz_ip char(24),
    zz_place varchar(40)
);
create table ver_manage (
    vm_mess varchar(60)
);

insert into lib_user values
    ('ZZ0101', 'Lobby kiosk 1', '418263'),
    ('ZZ0102', 'Lobby kiosk 2', '905172'),
    ('ZZ0103', 'Lobby kiosk 3', '336914'),
    ('ZZ0201', 'Lending hall 1', '770458'),
    ('ZZ0202', 'Lending hall 2', '152096'),
    ('ZZ0203', 'Lending hall 3', '684327'),
    ('ZZ0301', 'Periodicals 1', '249870'),
    ('ZZ0302', 'Periodicals 2', '513689'),
    ('ZZ0401', 'Children''s room', '862041'),
    ('ZZ0402', 'Study room', '097532'),
    ('ZZ0501', 'Branch east', '631745'),
    ('ZZ0502', 'Branch west', '384920'),
    ('OP0001', 'Circulation desk', '555101');

insert into lib_zizhu values
    ('ZZ0101', '192.168.10.21', 'Lobby'),
    ('ZZ0102', '192.168.10.22', 'Lobby'),
    ('ZZ0103', '192.168.10.23', 'Lobby'),
    ('ZZ0201', '192.168.20.31', 'Lending hall'),
    ('ZZ0202', '192.168.20.32', 'Lending hall'),
    ('ZZ0203', '192.168.20.33', 'Lending hall'),
    ('ZZ0301', '192.168.30.41', 'Periodicals'),
    ('ZZ0302', '192.168.30.42', 'Periodicals'),
    ('ZZ0401', '10.0.4.11', 'Children''s room'),
    ('ZZ0402', '10.0.4.12', 'Study room'),
    ('ZZ0501', '10.1.5.101', 'Branch east'),
    ('ZZ0502', '10.2.5.102', 'Branch west');

-- Version entries; the one that marks encrypted passwords is absent, so passwords are plain text.
insert into ver_manage values ('ZZ80230101.INITIAL'), ('ZZ80231115.KIOSK_IP');
